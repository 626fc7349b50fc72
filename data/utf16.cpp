#include "data/utf16.h"

namespace qdc {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// The code point that starts at text[pos], moving pos past it; nothing for an
// invalid sequence.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;
    int length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 1;
        c = lead & 0x1FU;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 2;
        c = lead & 0x0FU;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 3;
        c = lead & 0x07U;
    } else {
        return std::nullopt;
    }
    for (int i = 0; i < length; ++i) {
        if (pos == text.size())
            return std::nullopt;
        const auto next = static_cast<unsigned char>(text[pos++]);
        if ((next & 0xC0U) != 0x80U)
            return std::nullopt;
        c = (c << 6) | (next & 0x3FU);
    }
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || isSurrogate(c))
        return std::nullopt;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    const int length = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLead[length] | (c >> (6 * length)));
    for (int i = length - 1; i >= 0; --i)
        out += static_cast<char>(0x80U | ((c >> (6 * i)) & 0x3FU));
}

} // namespace

std::optional<std::wstring> utf16FromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::optional<char32_t> c = decodeUtf8(text, pos);
        if (!c)
            return std::nullopt;
        if (*c < 0x10000) {
            out += static_cast<wchar_t>(*c);
        } else {
            out += static_cast<wchar_t>(0xD800 + ((*c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((*c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string utf8FromUtf16(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<char32_t>(text[i]);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const char32_t low = high && i + 1 < text.size() ? static_cast<char32_t>(text[i + 1]) : 0;
        if (high && low >= 0xDC00 && low <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, isSurrogate(unit) ? kReplacement : unit);
        }
    }
    return out;
}

} // namespace qdc
