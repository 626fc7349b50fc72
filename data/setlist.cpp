#include "data/setlist.h"

#include "data/itemlist.h"
#include "results/convert.h"

namespace qdc {

std::string textAfterComma(const std::string& line) {
    const std::size_t comma = line.find(',');
    return comma == std::string::npos ? std::string() : line.substr(comma + 1);
}

bool isBaseSetHeader(const std::string& line) {
    return !line.empty() && line[0] == ':';
}

std::string baseSetName(const std::string& header) {
    return textBeforeComma(header.substr(1));
}

void readBaseSetNames(FileSource& files, std::vector<std::string>& out) {
    LineReader reader = files.open(kSetListPath);
    std::string line;
    while (reader.next(line))
        if (isBaseSetHeader(line))
            out.push_back(baseSetName(line));
}

void readSetItemNames(FileSource& files, const std::string& baseSet,
                      std::vector<std::string>& names, bool& readOtherLines) {
    LineReader reader = files.open(kSetListPath);
    bool inBlock = false;
    std::string line;
    while (reader.next(line)) {
        if (!inBlock) {
            if (isBaseSetHeader(line) && baseSetName(line) == baseSet)
                inBlock = true;
            else
                readOtherLines = true;
            continue;
        }
        if (isBaseSetHeader(line))
            return;
        names.push_back(textBeforeComma(line));
        readOtherLines = true;
    }
}

namespace {

// The base item (between the first and the second ",") of a set item line.
std::string setItemBase(const std::string& line) {
    const std::string rest = textAfterComma(line);
    return rest.substr(0, rest.find(','));
}

// Notes what the set item search needs to say when it finds nothing.
void noteBlocks(const std::string& line, const std::string& baseSet, const std::string& setItem,
                bool& inBlock, SetItemFind& found) {
    if (isBaseSetHeader(line)) {
        inBlock = baseSetName(line) == baseSet;
        found.baseSetListed = found.baseSetListed || inBlock;
    } else if (inBlock && textBeforeComma(line) == setItem) {
        found.setItemInBlock = true;
    }
}

} // namespace

SetItemFind findSetItem(FileSource& files, const std::string& baseSet, const std::string& setItem) {
    SetItemFind found;
    bool inBlock = false;
    LineReader reader = files.open(kSetListPath);
    forEachLine(reader, [&](std::string_view view) {
        const std::string line(view);
        noteBlocks(line, baseSet, setItem, inBlock, found);
        const std::size_t comma = line.find(',');
        // From the second character up to the first ","; empty when the line
        // has no "," or has it first.
        const std::string setKey =
            comma == std::string::npos || comma < 1 ? std::string() : line.substr(1, comma - 1);
        if (setKey == baseSet)
            found.setLevel = toInt(textAfterComma(line));
        if (textBeforeComma(line) == setItem) {
            found.baseItem = setItemBase(line);
            found.setWeight = toInt(line.empty() ? std::string() : line.substr(line.size() - 1));
        }
    });
    return found;
}

namespace {

// The record of a set item line under a header of level `setLevel`.
SetItemRecord setItemRecord(const std::string& line, std::int32_t setLevel) {
    SetItemRecord record;
    record.name = textBeforeComma(line);
    const std::string rest = textAfterComma(line);
    const std::size_t second = rest.find(',');
    record.baseItem = second == std::string::npos ? rest : rest.substr(0, second);
    record.setWeight = toInt(second == std::string::npos ? std::string() : rest.substr(second + 1));
    record.setLevel = setLevel;
    return record;
}

} // namespace

void forEachSetItem(FileSource& files, const std::function<void(const SetItemRecord&)>& visit) {
    LineReader reader = files.open(kSetListPath);
    std::int32_t setLevel = 0;
    forEachLine(reader, [&](std::string_view view) {
        const std::string line(view);
        if (isBaseSetHeader(line))
            setLevel = toInt(textAfterComma(line));
        else
            visit(setItemRecord(line, setLevel));
    });
}

void SetItemIndex::load() {
    LineReader reader = files_.open(kSetListPath);
    loaded_ = true;
    std::int32_t setLevel = 0;
    try {
        forEachLine(reader, [&](std::string_view view) {
            const std::string line(view);
            if (isBaseSetHeader(line)) {
                setLevel = toInt(textAfterComma(line));
                return;
            }
            SetItemRecord record = setItemRecord(line, setLevel);
            byBaseItem_[record.baseItem].push_back(std::move(record));
        });
    } catch (const DropError& e) {
        end_ = e;
    }
}

const std::vector<SetItemRecord>& SetItemIndex::recordsOf(const std::string& baseItem) {
    static const std::vector<SetItemRecord> kNone;
    if (!loaded_)
        load();
    const auto found = byBaseItem_.find(baseItem);
    return found == byBaseItem_.end() ? kNone : found->second;
}

void SetItemIndex::raiseWalkEnd() const {
    if (end_)
        throw DropError(*end_);
}

} // namespace qdc
