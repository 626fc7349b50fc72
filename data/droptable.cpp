#include "data/droptable.h"

namespace qdc {

std::string_view separated(std::string_view line, char decimalSeparator, std::string& storage) {
    if (decimalSeparator == '.' || line.find('.') == std::string_view::npos)
        return line;
    storage.assign(line);
    for (char& c : storage)
        if (c == '.')
            c = decimalSeparator;
    return storage;
}

DropStep dropStep(std::string_view line, std::int32_t picks) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return {std::string_view(), line, picks};
    return {line.substr(0, colon), line.substr(colon + 1), picks};
}

std::optional<DropStep> cutDropLine(std::string_view line, char decimalSeparator,
                                    std::string& storage, std::int32_t picks) {
    if (line == "-")
        return std::nullopt;
    return dropStep(separated(line, decimalSeparator, storage), picks);
}

} // namespace qdc
