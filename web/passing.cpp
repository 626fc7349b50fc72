#include "web/passing.h"

#include "cli/terminal.h"

#include <algorithm>
#include <cstdint>

namespace qdc::web {

namespace {

constexpr std::size_t kLengthBytes = 4;

} // namespace

std::string encodeWords(const std::vector<std::string>& words) {
    std::string bytes;
    for (const std::string& word : words) {
        const auto size = static_cast<std::uint32_t>(word.size());
        for (std::size_t i = 0; i < kLengthBytes; ++i)
            bytes += static_cast<char>((size >> (8 * i)) & 0xFF);
        bytes += word;
    }
    return bytes;
}

std::optional<std::vector<std::string>> decodeWords(std::string_view bytes) {
    std::vector<std::string> words;
    while (!bytes.empty()) {
        if (bytes.size() < kLengthBytes)
            return std::nullopt;
        std::size_t size = 0;
        for (std::size_t i = 0; i < kLengthBytes; ++i)
            size |= std::size_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
        bytes.remove_prefix(kLengthBytes);
        if (size > bytes.size())
            return std::nullopt;
        words.emplace_back(bytes.substr(0, size));
        bytes.remove_prefix(size);
    }
    return words;
}

std::string takePath(std::string& input, std::size_t pathSize) {
    const std::size_t start = input.size() - std::min(pathSize, input.size());
    std::string path = input.substr(start);
    input.resize(start);
    return path;
}

std::string refusal(const DropError& error) {
    const std::string text =
        error.location() ? error.location()->path + ": " + error.message() : error.message();
    std::string line;
    for (const char c : cli::terminalSafe(text))
        line += c == '\n' ? "\\x0A" : std::string(1, c);
    return line;
}

} // namespace qdc::web
