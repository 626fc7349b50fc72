#include "data/setlist.h"

#include "results/convert.h"

namespace qdc {

SetListLine cutSetListLine(std::string_view line) {
    SetListLine cut;
    cut.header = !line.empty() && line[0] == ':';
    const std::size_t comma = line.find(',');
    const bool hasComma = comma != std::string_view::npos;
    cut.afterComma = hasComma ? line.substr(comma + 1) : std::string_view();
    cut.setKey = hasComma && comma >= 1 ? line.substr(1, comma - 1) : std::string_view();
    cut.lastChar = line.substr(line.empty() ? 0 : line.size() - 1);
    cut.beforeComma = hasComma ? line.substr(0, comma) : std::string_view();
    const std::size_t second = cut.afterComma.find(',');
    cut.baseItem = cut.afterComma.substr(0, second);
    cut.weightText =
        second == std::string::npos ? std::string() : cut.afterComma.substr(second + 1);
    return cut;
}

std::int32_t SetListLine::setLevel() const {
    return toInt(afterComma);
}

std::int32_t SetListLine::weight() const {
    return toInt(weightText);
}

std::int32_t SetListLine::lastCharWeight() const {
    return toInt(lastChar);
}

void readBaseSetNames(FileSource& files, std::vector<std::string>& out) {
    LineReader reader = files.open(kSetListPath);
    std::string_view line;
    while (reader.next(line)) {
        SetListLine cut = cutSetListLine(line);
        if (cut.header)
            out.push_back(std::move(cut.setKey));
    }
}

void readSetMembers(FileSource& files, std::vector<SetMember>& out) {
    LineReader reader = files.open(kSetListPath);
    std::optional<std::string> header;
    std::string_view line;
    while (reader.next(line)) {
        SetListLine cut = cutSetListLine(line);
        if (cut.header)
            header = std::move(cut.setKey);
        else if (header)
            out.push_back({std::move(cut.beforeComma), *header});
    }
}

void readSetItemNames(FileSource& files, const std::string& baseSet,
                      std::vector<std::string>& names, bool& readOtherLines) {
    LineReader reader = files.open(kSetListPath);
    bool inBlock = false;
    std::string_view line;
    while (reader.next(line)) {
        SetListLine cut = cutSetListLine(line);
        if (!inBlock) {
            if (cut.header && cut.setKey == baseSet)
                inBlock = true;
            else
                readOtherLines = true;
            continue;
        }
        if (cut.header)
            return;
        names.push_back(std::move(cut.beforeComma));
        readOtherLines = true;
    }
}

namespace {

// Notes what the set item search needs to say when it finds nothing:
// whether the base set is listed, whether its block names the set item, and
// the base set of the first block that does. `header` is the base set of the
// block the line is in, null before the first header.
void noteBlocks(const SetListLine& line, const std::string& baseSet, const std::string& setItem,
                std::optional<std::string>& header, SetItemFind& found) {
    if (line.header) {
        header = line.setKey;
        found.baseSetListed = found.baseSetListed || line.setKey == baseSet;
    } else if (header && line.beforeComma == setItem) {
        found.setItemInBlock = found.setItemInBlock || *header == baseSet;
        if (!found.holdingSet)
            found.holdingSet = *header;
    }
}

} // namespace

SetItemFind findSetItem(FileSource& files, const std::string& baseSet, const std::string& setItem) {
    SetItemFind found;
    std::optional<std::string> header;
    LineReader reader = files.open(kSetListPath);
    forEachLine(reader, [&](std::string_view view) {
        SetListLine line = cutSetListLine(view);
        noteBlocks(line, baseSet, setItem, header, found);
        if (line.setKey == baseSet)
            found.setLevel = line.setLevel();
        if (line.beforeComma == setItem) {
            found.baseItem = std::move(line.baseItem);
            found.setWeight = line.lastCharWeight();
        }
    });
    return found;
}

const SetItemRecord* SetItemIndex::add(SetListLine line, ErrorSink& sink) {
    try {
        if (line.header) {
            setLevel_ = line.setLevel();
            return nullptr;
        }
        const std::int32_t weight = line.weight();
        if (ended_)
            return nullptr;
        std::vector<SetItemRecord>& records = table_->byBaseItem[line.baseItem];
        records.push_back({std::move(line.beforeComma), line.baseItem, weight, setLevel_});
        return &records.back();
    } catch (const DropError& e) {
        ended_ = true;
        sink.error(e);
        return nullptr;
    }
}

void SetItemIndex::read() {
    LineReader reader = files_.open(kSetListPath);
    loaded_ = true;
    try {
        forEachLine(reader,
                    [&](std::string_view view) { add(cutSetListLine(view), raisingSink()); });
    } catch (const DropError& e) {
        table_->end = e;
    }
}

const std::vector<SetItemRecord>& SetItemIndex::recordsOf(const std::string& baseItem) {
    static const std::vector<SetItemRecord> kNone;
    if (!loaded_) {
        // Kept for the folder's later searches when every line converts and
        // the file reads to its end.
        table_ = parsedOnce<Table>(
            files_, kSetListPath, 0,
            [&] {
                read();
                return table_;
            },
            [](const Table& table) { return !table.end; });
        loaded_ = true;
    }
    const auto found = table_->byBaseItem.find(baseItem);
    return found == table_->byBaseItem.end() ? kNone : found->second;
}

void SetItemIndex::raiseWalkEnd() const {
    if (table_->end)
        throw DropError(table_->end.value());
}

} // namespace qdc
