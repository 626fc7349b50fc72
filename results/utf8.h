#pragma once

#include <cstddef>
#include <string_view>

namespace qdc {

// Whether `text` is well-formed UTF-8: no overlong form, no surrogate, nothing
// past U+10FFFF, no sequence cut short.
bool isUtf8(std::string_view text);

// How many bytes of a `text` of more than `limit` bytes a cut after at most
// `limit` bytes keeps: `limit`, or less so that a text that is UTF-8 keeps
// whole characters.
std::size_t cutLength(std::string_view text, std::size_t limit);

} // namespace qdc
