#include "cli/datafolder.h"

#include "data/diskfilesource.h"

namespace qdc::cli {

std::shared_ptr<FileSource> openDataFolder(const std::string& dir) {
    return std::make_shared<DiskFileSource>(dir);
}

std::vector<std::string> dataFolderFiles(const std::string& dir) {
    return difficultyFolderFiles(dir);
}

} // namespace qdc::cli
