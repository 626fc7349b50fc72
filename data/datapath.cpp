#include "data/datapath.h"

#include "results/error.h"

#include <filesystem>

namespace qdc {

bool staysInDataFolder(std::string_view path) {
    if ((!path.empty() && path.front() == '/') || path.find('\0') != std::string_view::npos)
        return false;
    int depth = 0;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find('/', begin);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(begin, end - begin);
        if (part == "..") {
            if (--depth < 0)
                return false;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        begin = end + 1;
    }
    return true;
}

void checkDataPath(const std::string& path) {
    if (staysInDataFolder(path))
        return;
    DropError error("Invalid filename");
    error.locate({path, 0, ""});
    throw error;
}

std::string normalPath(const std::string& path) {
    std::string storage;
    return std::string(normalPath(path, storage));
}

std::string_view normalPath(const std::string& path, std::string& storage) {
    const bool plain = path.find("//") == std::string::npos &&
                       path.find("./") == std::string::npos && (path.empty() || path.back() != '.');
    if (plain)
        return path;
    storage = std::filesystem::path(path).lexically_normal().generic_string();
    return storage;
}

} // namespace qdc
