#pragma once

#include "data/filesource.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qdc {

inline const std::string kUniqueListPath = "unilist.txt";

// Start-up: the unique name (text before the first ",") of every line of
// unilist.txt, appended to `out`.
void readUniqueNames(FileSource& files, std::vector<std::string>& out);

// The two base items whose uniques carry a weight of their own.
bool hasUniqueWeight(const std::string& baseItem);

// A unique line "name,base:LL[,weight]" cut by position, nothing converted yet.
// The name is the text before the first ","; in the rest after that ",", the
// base item is the text before the first ":", the level the two characters
// after it, and the weight text everything after the rest's first ",".
struct UniqueFields {
    std::string name;
    std::string baseItem;
    std::string levelText;
    std::string weightText;
    std::int32_t level() const;
    // 1, or for a "Ring" or "Amulet" the converted weight text.
    std::int32_t weight() const;
};

UniqueFields cutUniqueLine(std::string_view line);

struct UniqueRecord {
    std::string name;
    std::string baseItem;
    std::int32_t level = 0;
    std::int32_t weight = 1; // 1 unless the base item is "Ring" or "Amulet"
};

// Converts the level, and the weight for a "Ring" or "Amulet".
UniqueRecord parseUniqueLine(std::string_view line);

// The record of the last line of unilist.txt named `name`; every line of that
// name is converted.
std::optional<UniqueRecord> findUniqueByName(FileSource& files, const std::string& name);

// Walks unilist.txt line by line. Each line's level is converted as it is
// reached; its weight only when weight() is asked for.
class UniqueReader {
  public:
    struct Unique {
        std::string name;
        std::string baseItem;
        std::int32_t level = 0;
        std::string weightText;
        ErrorLocation where; // the line it was read from
        // 1, or for a "Ring" or "Amulet" the converted weight text.
        std::int32_t weight() const;
    };

    explicit UniqueReader(FileSource& files) : lines_(files.open(kUniqueListPath)) {}
    bool next(Unique& out);

  private:
    LineReader lines_;
};

// unilist.txt read once for a search that walks it for every drop-table line:
// the uniques up to a level, grouped by base item, in file order, up to the
// first line whose level does not convert (every line's level is converted).
// A weight is converted when it is first asked for. The searches of a folder
// that shares its parsing share one index of every unique, each taking those
// up to its level: walk a group with firstOf() and nextOf().
class UniqueIndex {
  public:
    static constexpr std::uint32_t kEnd = 0xffffffffU;
    struct Unique {
        std::string name;
        std::int32_t level = 0;
        int line = 0; // in unilist.txt
        std::string weightText;
        std::optional<std::int32_t> weight; // once converted
        std::uint32_t next = kEnd;          // the group's next unique
    };
    struct Group {
        std::string baseItem;
        std::uint32_t first = kEnd;
        std::uint32_t last = kEnd;
        std::int32_t lowest = 0; // the lowest level of its uniques
    };

    UniqueIndex(FileSource& files, std::int32_t maxLevel) : files_(files), maxLevel_(maxLevel) {}
    // The uniques of `baseItem` up to the level, or nullptr; reads the file
    // at the first call.
    const Group* groupOf(std::string_view baseItem);
    Unique& unique(std::uint32_t index) { return table_->uniques[index]; }
    // The group's first unique up to the level, and the one after `unique`;
    // kEnd after the last.
    std::uint32_t firstOf(const Group* group) const;
    std::uint32_t nextOf(const Unique& unique) const;
    // 1, or for a "Ring" or "Amulet" the converted weight text, an error
    // located at the unique's line.
    std::int32_t weightOf(const Group& group, Unique& unique);
    // Raises what ends a walk of the whole file after its uniques: the line
    // whose level does not convert, or the file's read error.
    void raiseWalkEnd() const;
    // Takes line `number` of the file, as reading it does; an index fed so
    // reads no file. A level that does not convert goes, unlocated, to
    // `sink`: a search ends its reading there; when the sink returns, the
    // line is passed over. The unique's index, or kEnd.
    std::uint32_t add(UniqueFields fields, int number, ErrorSink& sink);

  private:
    struct Table {
        std::vector<Unique> uniques;
        std::deque<Group> groups; // a deque, so that the keys below stay put
        std::unordered_map<std::string_view, Group*> byBaseItem;
        std::optional<DropError> end;
    };
    void load();
    void read();
    std::uint32_t upToLevel(std::uint32_t at) const;

    FileSource& files_;
    std::int32_t maxLevel_;
    bool loaded_ = false;
    std::shared_ptr<Table> table_ = std::make_shared<Table>();
};

} // namespace qdc
