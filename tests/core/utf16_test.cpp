#include "data/utf16.h"

#include <gtest/gtest.h>

TEST(Utf16, ConvertsBothWaysAndRefusesWhatIsNotUtf8) {
    const struct {
        std::string utf8;
        std::optional<std::wstring> utf16;
    } cases[] = {
        {"", L""},
        {"Cave Lurker", L"Cave Lurker"},
        {"Gr\xC3\xBCne Ratte", L"Gr\u00FCne Ratte"},
        {"\xE2\x82\xAC 5", L"\u20AC 5"},
        {"\xF0\x9F\x90\x80", std::wstring{wchar_t(0xD83D), wchar_t(0xDC00)}},
        {"\xEF\xBF\xBF", L"\uFFFF"},
        {"\xF4\x8F\xBF\xBF", std::wstring{wchar_t(0xDBFF), wchar_t(0xDFFF)}},
        {"\xC3", std::nullopt},             // cut short
        {"\x80", std::nullopt},             // a continuation alone
        {"\xC0\xAF", std::nullopt},         // an overlong "/"
        {"\xE0\x80\xAF", std::nullopt},     // another
        {"\xED\xA0\x80", std::nullopt},     // a surrogate
        {"\xF4\x90\x80\x80", std::nullopt}, // past U+10FFFF
        {"\xE2\x82x", std::nullopt},        // a stray byte inside
        {"Latin-1 \xFC", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qdc::utf16FromUtf8(c.utf8), c.utf16) << c.utf8;
        if (c.utf16) {
            EXPECT_EQ(qdc::utf8FromUtf16(*c.utf16), c.utf8) << c.utf8;
        }
    }
}

TEST(Utf16, UnpairedSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(qdc::utf8FromUtf16(std::wstring{wchar_t(0xD800), L'a'}), "\xEF\xBF\xBD"
                                                                       "a");
    EXPECT_EQ(qdc::utf8FromUtf16(std::wstring{L'a', wchar_t(0xDC00)}), "a\xEF\xBF\xBD");
    EXPECT_EQ(qdc::utf8FromUtf16(std::wstring{wchar_t(0xDBFF)}), "\xEF\xBF\xBD");
}
