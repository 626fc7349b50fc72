#include "data/itemlist.h"

namespace qdc {

std::string textBeforeComma(const std::string& line) {
    const std::size_t comma = line.find(',');
    return comma == std::string::npos ? std::string() : line.substr(0, comma);
}

ItemLine cutItemLine(std::string_view line) {
    ItemLine cut;
    const std::size_t comma = line.find(',');
    cut.name = comma == std::string_view::npos ? std::string_view() : line.substr(0, comma);
    cut.lineKey = line.substr(0, line.size() >= 2 ? line.size() - 2 : 0);
    if (!line.empty() && (line.back() == '0' || line.back() == '1'))
        cut.flag = line.back();
    return cut;
}

void readItemNames(FileSource& files, std::vector<std::string>& out) {
    LineReader reader = files.open(kItemListPath);
    std::string_view line;
    while (reader.next(line))
        out.emplace_back(cutItemLine(line).name);
}

} // namespace qdc

namespace qdc {

namespace {

std::string_view itemKeyOf(const ItemLine& line, ItemKey key) {
    return key == ItemKey::BeforeComma ? line.name : line.lineKey;
}

} // namespace

char lookupQualityFlag(FileSource& files, const std::string& baseItem, ItemKey key) {
    char flag = '\0';
    LineReader reader = files.open(kItemListPath);
    std::string_view line;
    while (reader.next(line)) {
        const ItemLine cut = cutItemLine(line);
        if (cut.flag != '\0' && itemKeyOf(cut, key) == baseItem)
            flag = cut.flag;
    }
    return flag;
}

std::shared_ptr<const QualityFlags::Table> QualityFlags::read() const {
    auto table = std::make_shared<Table>();
    try {
        LineReader reader = files_.open(kItemListPath);
        std::string_view line;
        while (reader.next(line)) {
            const ItemLine cut = cutItemLine(line);
            if (cut.flag != '\0')
                table->flags[std::string(itemKeyOf(cut, key_))] = cut.flag;
        }
    } catch (const DropError& e) {
        table->error = e;
    }
    return table;
}

char QualityFlags::lookup(const std::string& baseItem, ErrorSink& sink) {
    if (!table_)
        table_ = parsedOnce<const Table>(
            files_, kItemListPath, static_cast<int>(key_), [&] { return read(); },
            [](const Table& table) { return !table.error; });
    if (table_->error)
        sink.error(*table_->error);
    const auto found = table_->flags.find(baseItem);
    return found == table_->flags.end() ? '\0' : found->second;
}

} // namespace qdc
