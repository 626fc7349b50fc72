#pragma once

// What the page's worker writes into the module's memory for a call, and how
// the module reads it: plain C++, so that it is tested and fuzzed natively.

#include "results/error.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qdc::web {

// The words of a command as the worker writes them: each its length in four
// bytes, the least significant first, then its bytes. A word may hold any
// byte, a NUL too.
std::string encodeWords(const std::vector<std::string>& words);

// The words that `bytes` holds; nullopt when they end inside a length or a
// word.
std::optional<std::vector<std::string>> decodeWords(std::string_view bytes);

// A folder's file is written as its bytes followed by the `pathSize` bytes of
// its path (all of `input` when it is shorter): takes the path off the end of
// `input`, which keeps the file's bytes, and returns it.
std::string takePath(std::string& input, std::size_t pathSize);

// Why a file of a folder being loaded was refused, on one line: its path,
// with control characters but TAB shown as "\xHH", then the message.
std::string refusal(const DropError& error);

} // namespace qdc::web
