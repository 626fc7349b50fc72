// Large files from small inputs: one file's first line is repeated many times
// or stretched to a great length before every search runs over the folder.
// The first input byte chooses how and which file; the next two how much.
// Only one file grows, since a search may rightly walk one file once for each
// line of another.

#include "fuzz_data.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

constexpr std::size_t kLargestFile = 4 << 20;

std::string amplified(const std::string& bytes, bool stretch, std::size_t times) {
    const std::size_t newline = bytes.find('\n');
    const std::string first = bytes.substr(0, newline);
    const std::string rest = newline == std::string::npos ? "" : bytes.substr(newline);
    if (stretch) {
        const char fill = first.empty() ? 'x' : first.back();
        return first + std::string(std::min(times * 64, kLargestFile), fill) + rest;
    }
    std::string out;
    const std::size_t copies = std::min(times, kLargestFile / (first.size() + 1));
    out.reserve(copies * (first.size() + 1) + rest.size());
    for (std::size_t i = 0; i < copies; ++i)
        out.append(first).push_back('\n');
    return out + rest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const bool stretch = (data[0] & 1U) != 0;
    const std::size_t grown = data[0] >> 1U;
    const std::size_t times = static_cast<std::size_t>(data[1]) << 8 | data[2];
    const std::string_view input(reinterpret_cast<const char*>(data) + 3, size - 3);

    const auto parts = fuzz::cut(input, '\f');
    qdc::MemoryFileSource files;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::size_t newline = parts[i].find('\n');
        if (newline == std::string_view::npos)
            continue;
        const std::string bytes(parts[i].substr(newline + 1));
        fuzz::addFile(files, parts[i].substr(0, newline),
                      i == grown ? amplified(bytes, stretch, times) : bytes);
    }
    fuzz::runEverySearch(files, fuzz::readQuery(parts[0]));
    return 0;
}
