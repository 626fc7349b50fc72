#pragma once

#include <string_view>

namespace qdc {

// The order of the result list. Bytes compare by rank, lowest first: control
// bytes (0-31, 127) by code, the blank, every other ASCII punctuation or symbol
// by code, the digits, the letters without regard to case, bytes 128-255 by
// code. A text that is the beginning of a longer one comes first.
// Returns <0, 0 or >0.
int collate(std::string_view a, std::string_view b);

} // namespace qdc
