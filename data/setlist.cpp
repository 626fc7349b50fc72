#include "data/setlist.h"

#include "data/itemlist.h"
#include "results/convert.h"

namespace qdc {

namespace {

// The text after the first ","; the empty text when there is none.
std::string textAfterComma(const std::string& line) {
    const std::size_t comma = line.find(',');
    return comma == std::string::npos ? std::string() : line.substr(comma + 1);
}

} // namespace

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

SetItemFind findSetItem(FileSource& files, const std::string& baseSet, const std::string& setItem) {
    SetItemFind found;
    LineReader reader = files.open(kSetListPath);
    std::string line;
    while (reader.next(line)) {
        const std::size_t comma = line.find(',');
        // From the second character up to the first ","; empty when the line
        // has no "," or has it first.
        const std::string setKey =
            comma == std::string::npos || comma < 1 ? std::string() : line.substr(1, comma - 1);
        if (setKey == baseSet)
            found.setLevel = toInt(textAfterComma(line));
        if (textBeforeComma(line) == setItem) {
            const std::string rest = textAfterComma(line);
            const std::size_t second = rest.find(',');
            found.baseItem = second == std::string::npos ? rest : rest.substr(0, second);
            found.setWeight = toInt(line.empty() ? std::string() : line.substr(line.size() - 1));
        }
    }
    return found;
}

void forEachSetItem(FileSource& files, const std::function<void(const SetItemRecord&)>& visit) {
    LineReader reader = files.open(kSetListPath);
    std::int32_t setLevel = 0;
    std::string line;
    while (reader.next(line)) {
        if (isBaseSetHeader(line)) {
            setLevel = toInt(textAfterComma(line));
            continue;
        }
        SetItemRecord record;
        record.name = textBeforeComma(line);
        const std::string rest = textAfterComma(line);
        const std::size_t second = rest.find(',');
        record.baseItem = second == std::string::npos ? rest : rest.substr(0, second);
        record.setWeight =
            toInt(second == std::string::npos ? std::string() : rest.substr(second + 1));
        record.setLevel = setLevel;
        visit(record);
    }
}

} // namespace qdc
