#pragma once

#include "data/filesource.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace qdc {

inline const std::string kSetListPath = "setlist.txt";

// A line of setlist.txt is a base set header (":" name "," level) exactly when
// its first character is ":"; every other line is a set item line
// (name "," base item "," weight).
bool isBaseSetHeader(const std::string& line);

// The text after the first ","; the empty text when there is none (a header's
// set level, a set item line's base item and weight).
std::string textAfterComma(const std::string& line);

// The base set name of a header line (":" name "," level): the text after the
// ":" up to the first ","; the empty text when there is no ",".
std::string baseSetName(const std::string& header);

// Start-up: the base set name of every header of setlist.txt, appended to `out`.
void readBaseSetNames(FileSource& files, std::vector<std::string>& out);

// Choosing a base set: the set item names (text before the first ",") of the
// first block whose header carries `baseSet`, appended to `names` as they are
// read. `readOtherLines` becomes true as soon as a line before that header (or
// any line, when no header carries the name) or a line of the block is read;
// it stays false when the block's header is the first line and the block is
// empty. Nothing is converted.
void readSetItemNames(FileSource& files, const std::string& baseSet,
                      std::vector<std::string>& names, bool& readOtherLines);

// What the set item search knows of its set item.
struct SetItemFind {
    std::int32_t setLevel = 0;
    std::string baseItem;
    std::int32_t setWeight = 0;
    bool baseSetListed = false;  // a header carries the base set
    bool setItemInBlock = false; // a line of one of its blocks names the set item
};

// Reads the whole file. Every line, header or not, whose text from its second
// character up to its first "," is `baseSet` sets the set level (the text
// after the first ","); every line whose text before the first "," is
// `setItem` sets the base item (between the first and second ",") and the set
// weight (its last character). The last matching line decides; only matching
// lines are converted.
SetItemFind findSetItem(FileSource& files, const std::string& baseSet, const std::string& setItem);

// One set item line with the set level of the header above it (0 before the
// first header).
struct SetItemRecord {
    std::string name;
    std::string baseItem;
    std::int32_t setWeight = 0;
    std::int32_t setLevel = 0;
};

// Walks every line in file order: a header sets the current set level and
// yields nothing; every other line is converted (its weight is the text after
// the second ",") and handed to `visit`. A conversion error ends the walk at
// its line, after every record before it has been visited.
void forEachSetItem(FileSource& files, const std::function<void(const SetItemRecord&)>& visit);

// setlist.txt read once for a search that walks it for every drop-table line:
// the records forEachSetItem() visits, grouped by base item, up to the first
// line that does not convert.
class SetItemIndex {
  public:
    explicit SetItemIndex(FileSource& files) : files_(files) {}
    // The records of `baseItem` in file order; reads the file at the first call.
    const std::vector<SetItemRecord>& recordsOf(const std::string& baseItem);
    // Raises what ends a walk of the whole file after its records: the line
    // that does not convert, or the file's read error.
    void raiseWalkEnd() const;

  private:
    void load();

    FileSource& files_;
    bool loaded_ = false;
    std::unordered_map<std::string, std::vector<SetItemRecord>> byBaseItem_;
    std::optional<DropError> end_;
};

} // namespace qdc
