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
    loaded_ = true;
    LineReader reader = files_.open(kUniqueListPath);
    try {
        std::string line;
        while (reader.next(line)) {
            UniqueFields fields = cutUniqueLine(line);
            Unique unique;
            try {
                unique.level = toInt(fields.levelText);
            } catch (DropError& e) {
                e.locate(reader.location());
                throw;
            }
            if (unique.level > maxLevel_)
                continue;
            unique.name = std::move(fields.name);
            unique.line = reader.lineNumber();
            unique.weightText = std::move(fields.weightText);
            const auto found = byBaseItem_.find(fields.baseItem);
            Group* group = found == byBaseItem_.end() ? nullptr : found->second;
            if (group == nullptr) {
                group = &groups_.emplace_back(Group{std::move(fields.baseItem)});
                byBaseItem_.emplace(group->baseItem, group);
            }
            const auto index = static_cast<std::uint32_t>(uniques_.size());
            uniques_.push_back(std::move(unique));
            (group->first == kEnd ? group->first : uniques_[group->last].next) = index;
            group->last = index;
        }
    } catch (const DropError& e) {
        end_ = e;
    }
}

const UniqueIndex::Group* UniqueIndex::groupOf(std::string_view baseItem) {
    if (!loaded_)
        load();
    const auto found = byBaseItem_.find(baseItem);
    return found == byBaseItem_.end() ? nullptr : found->second;
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
    if (end_)
        throw DropError(*end_);
}

} // namespace qdc
