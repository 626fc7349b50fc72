#pragma once

#include <string>
#include <string_view>

namespace qdc {

// Whether a data path stays inside the data folder: it is relative, holds no
// NUL byte, and never has more ".." parts than folders before them. Paths use
// "/" between their parts. This looks at the text alone; a symlink that leads
// out is refused where the path is opened.
bool staysInDataFolder(std::string_view path);

// Raises "Invalid filename", located at `path`, when the path leaves the data
// folder.
void checkDataPath(const std::string& path);

// `path` with its "." and ".." parts and doubled "/" resolved, so that two
// spellings of one file compare equal.
std::string normalPath(const std::string& path);
// The same without a copy where it can: `path` itself when it is in that
// form already, otherwise `storage`, which then holds it.
std::string_view normalPath(const std::string& path, std::string& storage);

} // namespace qdc
