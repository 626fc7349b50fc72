#pragma once

#include "data/filesource.h"

#include <string>
#include <vector>

namespace qdc {

inline const std::string kItemListPath = "itemlist.txt";

// The text before the first "," of a line; the empty text when it has none.
std::string textBeforeComma(const std::string& line);

// Start-up: the item name of every line of itemlist.txt, blank and malformed
// lines included, appended to `out`.
void readItemNames(FileSource& files, std::vector<std::string>& out);

} // namespace qdc
