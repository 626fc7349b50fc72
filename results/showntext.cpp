#include "results/showntext.h"

#include "results/error.h"
#include "results/utf8.h"

#include <algorithm>

namespace qdc {

namespace {

// 0x80 to 0x9F; the rest of the bytes are their own code points.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

char32_t windows1252Char(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char32_t{byte};
}

std::size_t appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

std::string shownText(std::string_view bytes) {
    if (isUtf8(bytes))
        return std::string(bytes);
    std::string shown;
    shown.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.substr(i, kEllipsis.size()) == kEllipsis) {
            shown += kEllipsis;
            i += kEllipsis.size() - 1;
            continue;
        }
        appendUtf8(shown, windows1252Char(static_cast<unsigned char>(bytes[i])));
    }
    return shown;
}

std::string dataBytes(std::string_view typed, bool utf8Folder) {
    if (utf8Folder)
        return std::string(typed);
    std::u32string chars;
    if (!decodeUtf8(typed, chars))
        return std::string(typed); // not typed text: its bytes as they are
    std::string bytes;
    bytes.reserve(chars.size());
    for (const char32_t c : chars) {
        char byte = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            byte = static_cast<char>(c);
        } else if (const auto* at = std::find(kHighControls.begin(), kHighControls.end(), c);
                   at != kHighControls.end()) {
            byte = static_cast<char>(0x80 + (at - kHighControls.begin()));
        }
        bytes += byte;
    }
    return bytes;
}

void NameBook::add(std::string_view bytes) {
    if (isAscii(bytes))
        return;
    std::string shown = shownText(bytes);
    if (dataBytes(shown, utf8Folder_) != bytes)
        kept_.try_emplace(std::move(shown), bytes);
}

std::string NameBook::bytesOf(std::string_view typed) const {
    if (const auto it = kept_.find(std::string(typed)); it != kept_.end())
        return it->second;
    return dataBytes(typed, utf8Folder_);
}

} // namespace qdc
