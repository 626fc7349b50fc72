#pragma once

#include "data/filesource.h"

#include <memory>
#include <string>
#include <vector>

namespace qdc::cli {

// The data folder that --data names. The tool reads a folder on disk; the web
// edition links its own definitions, which read a folder loaded into the page.
std::shared_ptr<FileSource> openDataFolder(const std::string& dir);

// The files in the difficulty folders of the data folder, relative to it.
std::vector<std::string> dataFolderFiles(const std::string& dir);

} // namespace qdc::cli
