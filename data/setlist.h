#pragma once

#include "data/filesource.h"

#include <string>
#include <vector>

namespace qdc {

inline const std::string kSetListPath = "setlist.txt";

// The base set name of a header line (":" name "," level): the text after the
// ":" up to the first ","; the empty text when there is no ",".
std::string baseSetName(const std::string& header);

// Start-up: the base set name of every header of setlist.txt, appended to `out`.
void readBaseSetNames(FileSource& files, std::vector<std::string>& out);

} // namespace qdc
