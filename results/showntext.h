#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qdc {

// How the bytes of the data files show to a player, in every face: a text
// that is well-formed UTF-8 shows as it is; any other text shows each byte as
// windows-1252 (as browsers decode a file labelled Latin-1), except that the
// "…" (UTF-8) that a cut appends to a quoted text stays "…".

// The character windows-1252 gives byte `byte`; the five bytes it leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) give the C1 control of that code.
char32_t windows1252Char(unsigned char byte);

// The UTF-8 bytes of `c` appended to `out` (a surrogate or a code above
// U+10FFFF as U+FFFD); returns how many were appended.
std::size_t appendUtf8(std::string& out, char32_t c);

// `bytes` as shown, in UTF-8.
std::string shownText(std::string_view bytes);

// A text typed by the player (UTF-8) as the data files hold it: the same
// bytes in a data folder written in UTF-8, else windows-1252, a character it
// cannot hold as "?". shownText() of what a data folder in windows-1252 holds
// gives its bytes back.
std::string dataBytes(std::string_view typed, bool utf8Folder);

} // namespace qdc
