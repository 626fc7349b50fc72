#pragma once

#include "data/filesource.h"
#include "data/folderlisting.h"

#include <memory>
#include <string>

namespace qdc::cli {

// The data folder that --data names. The tool reads a folder on disk; the web
// edition links its own definitions, which read a folder loaded into the page.
std::shared_ptr<FileSource> openDataFolder(const std::string& dir);

// The files in the difficulty folders of `files`, which openDataFolder()
// gave, and what could not be listed.
FolderListing listDataFolder(FileSource& files);

} // namespace qdc::cli
