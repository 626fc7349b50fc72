#include "data/itemlist.h"

namespace qdc {

std::string textBeforeComma(const std::string& line) {
    const std::size_t comma = line.find(',');
    return comma == std::string::npos ? std::string() : line.substr(0, comma);
}

void readItemNames(FileSource& files, std::vector<std::string>& out) {
    LineReader reader = files.open(kItemListPath);
    std::string line;
    while (reader.next(line))
        out.push_back(textBeforeComma(line));
}

} // namespace qdc
