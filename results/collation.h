#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qdc {

// The order of the result list. Bytes compare by rank, lowest first: control
// bytes (0-31, 127) by code, the blank, every other ASCII punctuation or symbol
// by code, the digits, the letters without regard to case, bytes 128-255 by
// code. A text that is the beginning of a longer one comes first.
// Returns <0, 0 or >0.
int collate(std::string_view a, std::string_view b);

// The ranks of the eight bytes of `text` from `from` on, packed first byte
// highest, each as its place among the ranks counted from 1; a 0 stands for
// each byte past the end. Two texts whose heads at the same place differ
// collate as those heads compare, so a sort can compare them first and call
// collate() only on a tie.
std::uint64_t collationHead(std::string_view text, std::size_t from);

} // namespace qdc
