#include "results/error.h"
#include "results/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Utf8, WellFormedOnly) {
    struct Case {
        std::string text;
        bool utf8;
    };
    const std::vector<Case> cases = {
        {"", true},
        {"Ring", true},
        {"\xC3\xA9t\xC3\xA9", true},     // été
        {"\xE2\x80\xA6", true},          // …
        {"\xF0\x9F\x90\x89", true},      // U+1F409
        {"\xF4\x8F\xBF\xBF", true},      // U+10FFFF
        {"\xE4tzend", false},            // Latin-1 ä
        {"\xC0\xAF", false},             // overlong "/"
        {"\xE0\x80\xAF", false},         // overlong "/"
        {"\xF0\x80\x80\xAF", false},     // overlong "/"
        {"\xED\xA0\x80", false},         // surrogate U+D800
        {"\xF4\x90\x80\x80", false},     // past U+10FFFF
        {"\xC3", false},                 // cut short
        {"\xE2\x80", false},             // cut short
        {"\xF8\x88\x80\x80\x80", false}, // five bytes
        {"\x80", false},                 // a lone continuation byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qdc::isUtf8(c.text), c.utf8) << c.text;
        std::u32string decoded;
        EXPECT_EQ(qdc::decodeUtf8(c.text, decoded), c.utf8) << c.text;
        // Only the first two texts are plain ASCII.
        EXPECT_EQ(qdc::isAscii(c.text), c.text.empty() || c.text == "Ring") << c.text;
    }
}

TEST(Utf8, DecodesEachCharacter) {
    std::u32string decoded;
    ASSERT_TRUE(qdc::decodeUtf8("R\xC3\xA9\xE2\x80\xA6\xF0\x9F\x90\x89\xF4\x8F\xBF\xBF", decoded));
    EXPECT_EQ(decoded, (std::u32string{U'R', 0xE9, 0x2026, 0x1F409, 0x10FFFF}));
}

TEST(Utf8, ShortenedKeepsWholeCharactersOfUtf8Text) {
    const std::string ellipsis = "\xE2\x80\xA6";
    const std::string e = "\xC3\xA9"; // é
    struct Case {
        std::string text;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {std::string(198, 'x') + e, std::string(198, 'x') + e},
        {std::string(199, 'x') + e + "y", std::string(199, 'x') + ellipsis},
        {std::string(198, 'x') + e + "y", std::string(198, 'x') + e + ellipsis},
        {std::string(198, 'x') + "\xE2\x82\xAC" + "y", std::string(198, 'x') + ellipsis},
        // Not UTF-8 as a whole: cut at 200 bytes, as single-byte text.
        {std::string(199, 'x') + e + "\xE4", std::string(199, 'x') + "\xC3" + ellipsis},
        {std::string(201, 'x'), std::string(200, 'x') + ellipsis},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qdc::shortened(c.text), c.shown) << c.text.size();
}
