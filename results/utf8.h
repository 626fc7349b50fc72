#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qdc {

// Whether `text` is well-formed UTF-8: no overlong form, no surrogate, nothing
// past U+10FFFF, no sequence cut short.
bool isUtf8(std::string_view text);

// Whether every byte of `text` is below 0x80.
bool isAscii(std::string_view text);

// Appends the characters of `text` to `out` when it is well-formed UTF-8;
// false (with `out` partly filled) when it is not.
bool decodeUtf8(std::string_view text, std::u32string& out);

// How many bytes of a `text` of more than `limit` bytes a cut after at most
// `limit` bytes keeps: `limit`, or less so that a text that is UTF-8 keeps
// whole characters.
std::size_t cutLength(std::string_view text, std::size_t limit);

} // namespace qdc
