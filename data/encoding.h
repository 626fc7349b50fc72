#pragma once

namespace qdc {

class FileSource;

// Whether the data folder is written in UTF-8: every list file that can be
// read is well-formed UTF-8, and at least one of them holds a byte above
// 127. A typed name goes to the data as dataBytes() of this.
bool listsAreUtf8(FileSource& files);

} // namespace qdc
