#include "cli/datafolder.h"

#include "data/diskfilesource.h"

namespace qdc::cli {

std::shared_ptr<FileSource> openDataFolder(const std::string& dir) {
    return std::make_shared<DiskFileSource>(dir);
}

FolderListing listDataFolder(FileSource& files) {
    // The tool's folders are all on disk.
    return difficultyFolderFiles(static_cast<const DiskFileSource&>(files));
}

} // namespace qdc::cli
