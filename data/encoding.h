#pragma once

#include "results/showntext.h"

namespace qdc {

class FileSource;

// Whether the data folder is written in UTF-8: every list file that can be
// read is well-formed UTF-8, and at least one of them holds a byte above
// 127. A typed name goes to the data as dataBytes() of this.
bool listsAreUtf8(FileSource& files);

// Every name the window's boxes offer for the data folder of `files` (the
// monsters of each difficulty, the items, base sets, uniques and set items),
// with listsAreUtf8(). A list that cannot be read gives what was read of it.
NameBook readNameBook(FileSource& files);

} // namespace qdc
