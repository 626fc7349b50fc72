#include "data/unilist.h"

#include "results/convert.h"

#include <algorithm>
#include <limits>

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

std::uint32_t UniqueIndex::add(UniqueFields fields, int number, ErrorSink& sink) {
    loaded_ = true;
    Unique unique;
    try {
        unique.level = toInt(fields.levelText);
    } catch (const DropError& e) {
        sink.error(e);
        return kEnd;
    }
    if (unique.level > maxLevel_)
        return kEnd;
    unique.name = std::move(fields.name);
    unique.line = number;
    unique.weightText = std::move(fields.weightText);
    Table& t = *table_;
    const auto found = t.byBaseItem.find(fields.baseItem);
    Group* group = found == t.byBaseItem.end() ? nullptr : found->second;
    if (group == nullptr) {
        group = &t.groups.emplace_back(Group{std::move(fields.baseItem)});
        group->lowest = unique.level;
        t.byBaseItem.emplace(group->baseItem, group);
    }
    group->lowest = std::min(group->lowest, unique.level);
    const auto index = static_cast<std::uint32_t>(t.uniques.size());
    t.uniques.push_back(std::move(unique));
    (group->first == kEnd ? group->first : t.uniques[group->last].next) = index;
    group->last = index;
    return index;
}

void UniqueIndex::read() {
    loaded_ = true;
    LineReader reader = files_.open(kUniqueListPath);
    try {
        std::string line;
        while (reader.next(line)) {
            try {
                add(cutUniqueLine(line), reader.lineNumber(), raisingSink());
            } catch (DropError& e) {
                e.locate(reader.location());
                throw;
            }
        }
    } catch (const DropError& e) {
        table_->end = e;
    }
}

void UniqueIndex::load() {
    loaded_ = true;
    if (files_.parsed() == nullptr) {
        read();
        return;
    }
    // Every unique, for the searches of every level; kept when every line's
    // level converts and the file reads to its end.
    table_ = parsedOnce<Table>(
        files_, kUniqueListPath, 0,
        [&] {
            UniqueIndex every(files_, std::numeric_limits<std::int32_t>::max());
            every.read();
            return every.table_;
        },
        [](const Table& table) { return !table.end; });
}

const UniqueIndex::Group* UniqueIndex::groupOf(std::string_view baseItem) {
    if (!loaded_)
        load();
    const auto found = table_->byBaseItem.find(baseItem);
    return found == table_->byBaseItem.end() || found->second->lowest > maxLevel_ ? nullptr
                                                                                  : found->second;
}

std::uint32_t UniqueIndex::upToLevel(std::uint32_t at) const {
    while (at != kEnd && table_->uniques[at].level > maxLevel_)
        at = table_->uniques[at].next;
    return at;
}

std::uint32_t UniqueIndex::firstOf(const Group* group) const {
    return group == nullptr ? kEnd : upToLevel(group->first);
}

std::uint32_t UniqueIndex::nextOf(const Unique& unique) const {
    return upToLevel(unique.next);
}

std::int32_t UniqueIndex::weightOf(const Group& group, Unique& unique) {
    if (!hasUniqueWeight(group.baseItem))
        return 1;
    if (!unique.weight) {
        try {
            unique.weight = toInt(unique.weightText);
        } catch (DropError& e) {
            e.locate(lineLocation(files_, kUniqueListPath, unique.line));
            throw;
        }
    }
    return *unique.weight;
}

void UniqueIndex::raiseWalkEnd() const {
    if (table_->end)
        throw DropError(table_->end.value());
}

} // namespace qdc
