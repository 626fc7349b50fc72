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

namespace qdc {

char lookupQualityFlag(FileSource& files, const std::string& baseItem, ItemKey key) {
    char flag = '\0';
    LineReader reader = files.open(kItemListPath);
    std::string line;
    while (reader.next(line)) {
        const std::string itemKey = key == ItemKey::BeforeComma
                                        ? textBeforeComma(line)
                                        : line.substr(0, line.size() >= 2 ? line.size() - 2 : 0);
        if (itemKey == baseItem && !line.empty() && (line.back() == '0' || line.back() == '1'))
            flag = line.back();
    }
    return flag;
}

} // namespace qdc
