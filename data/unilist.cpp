#include "data/unilist.h"

#include "results/convert.h"

namespace qdc {

void readUniqueNames(FileSource& files, std::vector<std::string>& out) {
    LineReader reader = files.open(kUniqueListPath);
    std::string_view line;
    while (reader.next(line))
        out.push_back(std::move(cutUniqueLine(line).name));
}

bool hasUniqueWeight(const std::string& baseItem) {
    return baseItem == "Ring" || baseItem == "Amulet";
}

namespace {

// The text after the first `c` of `text`; the whole text when it has none.
std::string_view textAfter(std::string_view text, char c) {
    const std::size_t at = text.find(c);
    return at == std::string_view::npos ? text : text.substr(at + 1);
}

} // namespace

UniqueFields cutUniqueLine(std::string_view line) {
    UniqueFields fields;
    const std::size_t comma = line.find(',');
    fields.name = comma == std::string_view::npos ? std::string_view() : line.substr(0, comma);
    const std::string_view rest = textAfter(line, ',');
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos) {
        fields.levelText = rest.substr(0, 2);
    } else {
        fields.baseItem = rest.substr(0, colon);
        fields.levelText = rest.substr(colon + 1, 2);
    }
    fields.weightText = textAfter(rest, ',');
    return fields;
}

std::int32_t UniqueFields::level() const {
    return toInt(levelText);
}

std::int32_t UniqueFields::weight() const {
    return hasUniqueWeight(baseItem) ? toInt(weightText) : 1;
}

namespace {

UniqueRecord recordOf(UniqueFields fields) {
    UniqueRecord record;
    record.level = fields.level();
    record.weight = fields.weight();
    record.name = std::move(fields.name);
    record.baseItem = std::move(fields.baseItem);
    return record;
}

} // namespace

UniqueRecord parseUniqueLine(std::string_view line) {
    return recordOf(cutUniqueLine(line));
}

std::optional<UniqueRecord> findUniqueByName(FileSource& files, const std::string& name) {
    std::optional<UniqueRecord> found;
    LineReader reader = files.open(kUniqueListPath);
    forEachLine(reader, [&](std::string_view line) {
        UniqueFields fields = cutUniqueLine(line);
        if (fields.name == name)
            found = recordOf(std::move(fields));
    });
    return found;
}

std::int32_t UniqueReader::Unique::weight() const {
    return hasUniqueWeight(baseItem) ? locatedAt(where, [&] { return toInt(weightText); }) : 1;
}

bool UniqueReader::next(Unique& out) {
    std::string_view line;
    if (!lines_.next(line))
        return false;
    UniqueFields fields = cutUniqueLine(line);
    out.where = lines_.location();
    out.level = locatedAt(out.where, [&] { return fields.level(); });
    out.name = std::move(fields.name);
    out.baseItem = std::move(fields.baseItem);
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
