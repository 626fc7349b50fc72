#pragma once

#include "results/error.h"

#include <string>
#include <string_view>
#include <vector>

namespace qdc {

// The files found in the difficulty folders, and what could not be listed: of
// a folder on disk (data/diskfilesource.h) or one held in memory.
struct FolderListing {
    // Relative to the data folder, "/" between their parts.
    std::vector<std::string> files;
    // Each located at the folder or entry it is about: a folder that could not
    // be opened or read, a link that leads out of the data folder. When the
    // data folder itself could not be opened, that one error alone.
    std::vector<DropError> problems;
    bool folderFault = false; // the data folder itself could not be opened
    // On a file system that ignores case, the key that two names of one
    // file share (their upper case); null where case counts.
    std::string (*nameKey)(std::string_view path) = nullptr;
};

} // namespace qdc
