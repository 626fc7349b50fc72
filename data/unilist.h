#pragma once

#include "data/filesource.h"

#include <string>
#include <vector>

namespace qdc {

inline const std::string kUniqueListPath = "unilist.txt";

// Start-up: the unique name (text before the first ",") of every line of
// unilist.txt, appended to `out`.
void readUniqueNames(FileSource& files, std::vector<std::string>& out);

} // namespace qdc
