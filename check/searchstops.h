#pragma once

// Where each search of a data folder stops, and the error it raises there.
// A search stops at its first computation that fails, or where a fault ends
// its walk of the monster list. The searches of one base item compute alike
// for every monster at the same levels, so each computation is made once for
// an item and its levels, not once a search: the model answers for every
// search in about the time of reading the folder once. The checker gathers
// what the searches read (the lists through the searches' own indices, the
// levels, which monster lines reach which drop-table lines) and asks here
// where they fail; the agreement test holds the answers to the searches'.

#include "check/namesets.h"
#include "data/itemlist.h"
#include "data/levels.h"
#include "data/unilist.h"
#include "results/error.h"
#include "search/quality.h"
#include "search/readings.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace qdc::stops {

// A name as the check's messages give it: shortened, in double quotes. A
// byte-order mark before it, which cannot be seen, is shown as "[EF BB BF]".
inline std::string inQuotes(std::string_view text) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    if (text.starts_with(kMark))
        return "\"[EF BB BF]" + shortened(text.substr(kMark.size())) + '"';
    return '"' + shortened(text) + '"';
}

// What the computations of the searches take of a base item: its uniques,
// in the unique list's index, and its set items as each search reads them.
struct SetUse {
    int line = 0;
    std::optional<std::int32_t> blockWeight; // with the level of its block (set monster search)
    std::int32_t blockLevel = 0;
    std::optional<std::int32_t> lastCharWeight; // the set item search's reading
};
struct BaseItem {
    const UniqueIndex::Group* uniques = nullptr;
    std::vector<SetUse> sets;
    std::optional<bool> prone; // whether a flag or weight can fail a computation, once known
};

using Base = std::pair<const std::string, BaseItem>; // by its name

// The readings of the four searches that compute a quality, in the order
// their level lines are converted.
constexpr const Reading* kReadings[] = {&kSetItemReading, &kSetMonsterReading, &kUniqueItemReading,
                                        &kUniqueMonsterReading};

// What the searches take of one monster's level lines: its record as each
// reading takes it, and whether the reading fails, which ends the search.
struct MonsterLevels {
    LevelRecord byReading[std::size(kReadings)];
    bool failed[std::size(kReadings)] = {};
    int firstLine = 0;
    static std::size_t of(const Reading& reading) {
        return static_cast<std::size_t>(
            std::find(std::begin(kReadings), std::end(kReadings), &reading) -
            std::begin(kReadings));
    }
    const LevelRecord& operator[](const Reading& reading) const { return byReading[of(reading)]; }
    bool fails(const Reading& reading) const { return failed[of(reading)]; }
};

// A monster that reaches a drop table through the text before a monster
// line's first ":".
struct Dropper {
    std::string name;
    bool firstLineOfName = false; // the set monster search reads only that line
    MonsterLevels levels;
};

// A drop-table line whose item has uniques or set items that may fail a
// computation: the first of a table with its item, before or after the "-".
// The computations read nothing else of a line but its chance, which enters
// after every division and so cannot fail them: a later line of the same
// item and side fails where this one does, after the searches it stopped.
struct ProneLine {
    int line = 0;
    const Base* item = nullptr;
    double p = 0;
    bool afterDash = false;
};

// No place in the walk of a monster list.
constexpr std::size_t kNoWalk = std::numeric_limits<std::size_t>::max();

// Where a walk of the monster list ends: at its monster line at `first`,
// before the drop-table line `second` (0: before the table).
using WalkEnd = std::pair<std::size_t, int>;
constexpr WalkEnd kNoEnd{kNoWalk, 0};

// The monster lines that name one drop table.
struct TableUses {
    int firstLine = 0;           // the first line that names it
    std::int32_t firstPicks = 0; // its picks
    bool shared = false;         // a second monster reaches it through a first ":"
    // Each monster that reaches it through a first ":", once (twice when a
    // later line of the name names it too).
    std::vector<Dropper> droppers;
    TextSet later; // the names of droppers from a later line of their name
    std::vector<ProneLine> prone;
    std::unordered_set<const Base*> proneItems[2]; // those of `prone`, before and after "-"
    std::size_t firstWalk = kNoWalk; // its first monster in the walk of the monster list
    // The first line whose chance does not convert: it ends every walk that
    // converts the chance of each line.
    int badLine = 0;
    int firstStep = 0; // the first line other than "-"
    // The first line of each item with uniques whose chance does not convert:
    // it ends the unique item searches of the item that take the line.
    std::vector<std::pair<const Base*, int>> badItems;
};

using Table = std::pair<const std::string, TableUses>; // by path

// An error that a computation raises, and why.
struct Failure {
    DropError error;
    std::string why;
    bool told = false; // at the line of a list, when it was read
};

// What the searches' computations take of the lists, as the checker reads
// them: the base items with their uniques and set items, the set levels the
// set item search can take, and whether a fault of a list line ends the
// unique monster or set monster searches.
struct ListUses {
    explicit ListUses(FileSource& files)
        : uniques(files, std::numeric_limits<std::int32_t>::max()) {}

    TextMap<BaseItem> bases;
    // The unique list, as the unique monster search indexes it, and the last
    // line of each unique's name: the unique item search reads only that.
    UniqueIndex uniques;
    std::unordered_set<int> lastUniqueLines;
    std::vector<std::int32_t> setLevels{0}; // once each
    // A unique or set list line that does not convert: the unique monster and
    // set monster searches end after the first drop-table line they read.
    bool uniqueListEnds = false;
    bool setListEnds = false;

    // A level the computations may take: beyond the bound that keeps every
    // quality term positive, any computation may fail.
    void meet(std::int32_t level) { tame_ = tame_ && std::abs(level) <= keep_; }
    bool tame() const { return tame_; }

    // Calls visit(index, unique) for each unique of `item` whose weight
    // converts (`all`: each one); false when `visit` stops.
    template <class Visit> bool eachUnique(const Base& item, Visit visit, bool all = false) {
        for (std::uint32_t at = item.second.uniques ? item.second.uniques->first
                                                    : UniqueIndex::kEnd;
             at != UniqueIndex::kEnd; at = uniques.unique(at).next)
            if ((all || uniques.unique(at).weight) && !visit(at, uniques.unique(at)))
                return false;
        return true;
    }

  private:
    std::int32_t keep_ = qualityKeepingLevel();
    bool tame_ = true; // every level within keep_
};

// One difficulty's monster list as the searches walk it: the drop tables by
// path, each table and monster in the order of the monster lines, and where a
// monster line or a table that cannot be opened ends every walk.
struct ListWalk {
    std::unordered_map<std::string, TableUses> tables;
    std::vector<std::pair<const Table*, std::size_t>> order;
    WalkEnd end = kNoEnd;
};

class SearchStops {
  public:
    // `report` takes each error a computation raises, at its drop-table line,
    // in the order the searches meet them. The quality flags are read
    // through `files`, their errors told to `flagErrors`.
    using Report = std::function<void(const std::string& path, int line, const Failure& failure)>;
    SearchStops(ListUses& lists, CachingFileSource& files, ErrorSink& flagErrors, Report report);

    // The quality flag of `item` as a search looks it up by `key`.
    char flagOf(const std::string& item, ItemKey key);
    // Before a difficulty's drop tables are read, once its levels are met.
    void startDifficulty();
    // The base item of a drop-table line when a computation with it can
    // fail: without a quality flag, with a weight of 0, or with levels far
    // enough apart to make a quality term 0.
    const Base* proneItem(std::string_view item);
    // The computations of every search on the difficulty's walk.
    void walk(const ListWalk& walk);

    ~SearchStops();
    SearchStops(const SearchStops&) = delete;
    SearchStops& operator=(const SearchStops&) = delete;

  private:
    class Model;
    std::unique_ptr<Model> model_;
};

} // namespace qdc::stops
