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

namespace {

std::string itemKeyOf(const std::string& line, ItemKey key) {
    return key == ItemKey::BeforeComma ? textBeforeComma(line)
                                       : line.substr(0, line.size() >= 2 ? line.size() - 2 : 0);
}

bool endsInFlag(const std::string& line) {
    return !line.empty() && (line.back() == '0' || line.back() == '1');
}

} // namespace

char lookupQualityFlag(FileSource& files, const std::string& baseItem, ItemKey key) {
    char flag = '\0';
    LineReader reader = files.open(kItemListPath);
    std::string line;
    while (reader.next(line))
        if (itemKeyOf(line, key) == baseItem && endsInFlag(line))
            flag = line.back();
    return flag;
}

void QualityFlags::load() {
    LineReader reader = files_.open(kItemListPath);
    loaded_ = true;
    std::string line;
    try {
        while (reader.next(line))
            if (endsInFlag(line))
                flags_[itemKeyOf(line, key_)] = line.back();
    } catch (const DropError& e) {
        error_ = e;
    }
}

char QualityFlags::lookup(const std::string& baseItem) {
    if (!loaded_)
        load();
    if (error_)
        throw DropError(*error_);
    const auto found = flags_.find(baseItem);
    return found == flags_.end() ? '\0' : found->second;
}

} // namespace qdc
