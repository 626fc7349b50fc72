#include "data/unilist.h"

#include "data/itemlist.h"
#include "results/convert.h"

namespace qdc {

void readUniqueNames(FileSource& files, std::vector<std::string>& out) {
    LineReader reader = files.open(kUniqueListPath);
    std::string line;
    while (reader.next(line))
        out.push_back(textBeforeComma(line));
}

bool hasUniqueWeight(const std::string& baseItem) {
    return baseItem == "Ring" || baseItem == "Amulet";
}

namespace {

// The text after the first `c` of `text`; the whole text when it has none.
std::string textAfter(const std::string& text, char c) {
    const std::size_t at = text.find(c);
    return at == std::string::npos ? text : text.substr(at + 1);
}

} // namespace

UniqueFields cutUniqueLine(const std::string& line) {
    UniqueFields fields;
    fields.name = textBeforeComma(line);
    const std::string rest = textAfter(line, ',');
    const std::size_t colon = rest.find(':');
    if (colon == std::string::npos) {
        fields.levelText = rest.substr(0, 2);
    } else {
        fields.baseItem = rest.substr(0, colon);
        fields.levelText = rest.substr(colon + 1, 2);
    }
    fields.weightText = textAfter(rest, ',');
    return fields;
}

UniqueRecord parseUniqueLine(const std::string& line) {
    const UniqueFields fields = cutUniqueLine(line);
    UniqueRecord record;
    record.name = fields.name;
    record.baseItem = fields.baseItem;
    record.level = toInt(fields.levelText);
    if (hasUniqueWeight(fields.baseItem))
        record.weight = toInt(fields.weightText);
    return record;
}

std::optional<UniqueRecord> findUniqueByName(FileSource& files, const std::string& name) {
    std::optional<UniqueRecord> found;
    LineReader reader = files.open(kUniqueListPath);
    forEachLine(reader, [&](std::string_view view) {
        const std::string line(view);
        if (textBeforeComma(line) == name)
            found = parseUniqueLine(line);
    });
    return found;
}

std::int32_t UniqueReader::Unique::weight() const {
    return hasUniqueWeight(baseItem) ? locatedAt(where, [&] { return toInt(weightText); }) : 1;
}

bool UniqueReader::next(Unique& out) {
    std::string line;
    if (!lines_.next(line))
        return false;
    UniqueFields fields = cutUniqueLine(line);
    out.where = lines_.location();
    out.name = std::move(fields.name);
    out.baseItem = std::move(fields.baseItem);
    out.level = locatedAt(out.where, [&] { return toInt(fields.levelText); });
    out.weightText = std::move(fields.weightText);
    return true;
}

void UniqueIndex::load() {
    UniqueReader reader(files_);
    loaded_ = true;
    try {
        UniqueReader::Unique unique;
        while (reader.next(unique))
            byBaseItem_[unique.baseItem].push_back(unique);
    } catch (const DropError& e) {
        end_ = e;
    }
}

const std::vector<UniqueReader::Unique>& UniqueIndex::uniquesOf(const std::string& baseItem) {
    static const std::vector<UniqueReader::Unique> kNone;
    if (!loaded_)
        load();
    const auto found = byBaseItem_.find(baseItem);
    return found == byBaseItem_.end() ? kNone : found->second;
}

void UniqueIndex::raiseWalkEnd() const {
    if (end_)
        throw DropError(*end_);
}

} // namespace qdc
