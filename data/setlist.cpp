#include "data/setlist.h"

#include "data/itemlist.h"

namespace qdc {

std::string baseSetName(const std::string& header) {
    return textBeforeComma(header.substr(1));
}

void readBaseSetNames(FileSource& files, std::vector<std::string>& out) {
    LineReader reader = files.open(kSetListPath);
    std::string line;
    while (reader.next(line))
        if (!line.empty() && line[0] == ':')
            out.push_back(baseSetName(line));
}

} // namespace qdc
