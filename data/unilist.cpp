#include "data/unilist.h"

#include "data/itemlist.h"

namespace qdc {

void readUniqueNames(FileSource& files, std::vector<std::string>& out) {
    LineReader reader = files.open(kUniqueListPath);
    std::string line;
    while (reader.next(line))
        out.push_back(textBeforeComma(line));
}

} // namespace qdc
