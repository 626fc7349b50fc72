#pragma once

#include "data/filesource.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qdc {

inline const std::string kSetListPath = "setlist.txt";

// One line of setlist.txt, cut as every reader cuts it. A line is a base set
// header (":" name "," level) exactly when its first character is ":"; every
// other line is a set item line (name "," base item "," weight). Nothing is
// converted until asked for.
struct SetListLine {
    bool header = false;
    std::string beforeComma; // a set item line's name: the text before the first ","
    // From the second character up to the first "," (empty without one): a
    // header's base set name.
    std::string setKey;
    std::string afterComma; // the text after the first ","
    std::string baseItem;   // the text between the first and second ","
    std::string weightText; // the text after the second ","
    std::string lastChar;   // the line's last character
    // The header's set level: the text after the first ",".
    std::int32_t setLevel() const;
    // The set item's weight as the set monster search reads it (after the
    // second ",") and as the set item search reads it (the last character).
    std::int32_t weight() const;
    std::int32_t lastCharWeight() const;
};
SetListLine cutSetListLine(std::string_view line);

// Start-up: the base set name of every header of setlist.txt, appended to `out`.
void readBaseSetNames(FileSource& files, std::vector<std::string>& out);

// Every set item of a block, with the base set of its block's header, in
// file order, appended to `out`; the lines before the first header are
// nobody's. Nothing is converted.
struct SetMember {
    std::string setItem;
    std::string baseSet;
};
void readSetMembers(FileSource& files, std::vector<SetMember>& out);

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
    // The base set of the first block that names the set item, if any.
    std::optional<std::string> holdingSet;
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

// setlist.txt read once for a search that walks it for every drop-table line:
// in file order, a header sets the current set level and every other line
// gives a record (its weight after the second ","), grouped by base item, up
// to the first line that does not convert.
class SetItemIndex {
  public:
    explicit SetItemIndex(FileSource& files) : files_(files) {}
    // The records of `baseItem` in file order; reads the file at the first call.
    const std::vector<SetItemRecord>& recordsOf(const std::string& baseItem);
    // Raises what ends a walk of the whole file after its records: the line
    // that does not convert, or the file's read error.
    void raiseWalkEnd() const;
    // Takes the next line of the file, as reading it does; the line's error,
    // unlocated, goes to `sink`. When the sink returns, later lines are
    // converted too but indexed no more: no search reads past that line. The
    // record the line gives, or null.
    const SetItemRecord* add(SetListLine line, ErrorSink& sink);

  private:
    struct Table {
        std::unordered_map<std::string, std::vector<SetItemRecord>> byBaseItem;
        std::optional<DropError> end;
    };
    void read();

    FileSource& files_;
    bool loaded_ = false;
    bool ended_ = false; // a line did not convert
    std::int32_t setLevel_ = 0;
    // Once read, or as the folder's searches share it.
    std::shared_ptr<Table> table_ = std::make_shared<Table>();
};

} // namespace qdc
