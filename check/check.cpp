#include "check/check.h"
#include "check/namesets.h"

#include "data/datapath.h"
#include "data/difficulty.h"
#include "data/droptable.h"
#include "data/itemlist.h"
#include "data/levels.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/convert.h"
#include "results/error.h"
#include "results/numtext.h"
#include "results/utf8.h"
#include "search/magicfind.h"
#include "search/notes.h"
#include "search/quality.h"
#include "search/readings.h"
#include "search/searches.h"
#include "search/setchance.h"
#include "search/uniquechance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace qdc {

int CheckReport::errors() const {
    return static_cast<int>(std::count_if(problems.begin(), problems.end(), [](const Problem& p) {
        return p.severity == Severity::Error;
    }));
}

int CheckReport::warnings() const {
    return static_cast<int>(problems.size()) - errors();
}

std::string problemCounts(int errors, int warnings) {
    const auto counted = [](int n, const char* one, const char* many) {
        return std::to_string(n) + ' ' + (n == 1 ? one : many);
    };
    std::string text;
    if (errors > 0)
        text = counted(errors, "error", "errors");
    if (warnings > 0)
        text += (text.empty() ? "" : ", ") + counted(warnings, "warning", "warnings");
    return text;
}

std::string CheckReport::summary() const {
    return problemCounts(errors(), warnings());
}

namespace {

// How far the chances of one pick may add up from 1 before a warning.
constexpr double kPickSumTolerance = 0.001;
// A UTF-8 byte-order mark: the readers take it as text of the first line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The map of merged items, kept from table to table, is let go past this
// many names.
constexpr std::size_t kMergedNames = 1024;
// The lines of a drop table kept for its merged totals, and the bytes of
// their item names, at most; a longer table is walked a second time.
constexpr std::size_t kKeptLines = 4096;
constexpr std::size_t kKeptBytes = std::size_t{1} << 16;

std::string inQuotes(std::string_view text) {
    return '"' + shortened(text) + '"';
}

// The texts one after another, made in one allocation: for the warnings told
// of many tables.
std::string joined(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    std::string text;
    text.reserve(size);
    for (const std::string_view part : parts)
        text += part;
    return text;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool hasBlankEnds(std::string_view name) {
    return !name.empty() && (isBlank(name.front()) || isBlank(name.back()));
}

std::string_view trimmed(std::string_view name) {
    while (!name.empty() && isBlank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && isBlank(name.back()))
        name.remove_suffix(1);
    return name;
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
bool reaches(const WalkEnd& end, std::size_t walk, int line) {
    return WalkEnd{walk, line} < end;
}

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

// A monster's level and reduction as a computation on a line takes them: no
// reduction after the "-".
using LevelKey = std::pair<std::int32_t, std::int32_t>;
LevelKey levelKey(const LevelRecord& level, bool afterDash) {
    return {level.level, afterDash ? 0 : level.reduction};
}
// The set searches also take whether the monster's name begins with "Cow".
using SetLevelKey = std::pair<LevelKey, bool>;

// An error that a computation raises, and why.
struct Failure {
    DropError error;
    std::string why;
    bool told = false; // at the line of a list, when it was read
};
// Where a failed computation stands in the order the searches' computations
// are made on a line: the uniques (0) then the set items (1), each by its
// place in the lists; then the search's place among those of the item.
using ComputationOrder = std::tuple<int, std::size_t, std::size_t>;
struct FirstFailure {
    ComputationOrder order;
    Failure failure;
};

// The set item searches of one base item that behave alike: those of its set
// items of one weight at one set level.
struct SetItemSearches {
    std::int32_t weight = 0;
    std::size_t level = 0;    // in the set levels
    std::size_t firstSet = 0; // the first of those set items, in the item's
};

// What the searches that compute with one base item have come to on the
// walk of a difficulty. A search stops at its first computation that fails.
// The item's unique item and set item searches are the same for every
// monster: they fail where the levels they take fail, so levels met before
// need no computation again. The first failure of a unique monster or set
// monster search at some levels is the same for every monster.
struct ItemWalk {
    std::vector<std::size_t> openUniques;      // the unique item searches not stopped
    std::vector<SetItemSearches> openSetItems; // the set item searches not stopped
    std::set<LevelKey> uniqueItemLevels;       // the levels computed with
    std::set<SetLevelKey> setItemLevels;
    std::map<LevelKey, std::optional<FirstFailure>> uniqueMonsterFailure;
    std::map<SetLevelKey, std::optional<FirstFailure>> setMonsterFailure;
};

// Where on a table a monster's own searches first fail (the index of the
// line among the table's prone lines): its unique monster search, and for
// the first monster line of a name its set monster search.
struct MonsterFailures {
    std::optional<std::pair<std::size_t, FirstFailure>> uniqueMonster;
    std::optional<std::pair<std::size_t, FirstFailure>> setMonster;
};
// What a monster brings to those computations: its level records as each
// reading takes them, whether its name begins with "Cow", and whether its
// line is the first of its name.
using MonsterKey = std::tuple<std::array<std::int32_t, 2 * std::size(kReadings)>, bool, bool>;
MonsterKey monsterKey(const Dropper& monster) {
    std::array<std::int32_t, 2 * std::size(kReadings)> levels{};
    for (std::size_t i = 0; i < std::size(kReadings); ++i) {
        // A reading that fails stops the monster's searches before any line.
        levels[2 * i] = monster.levels.failed[i] ? std::numeric_limits<std::int32_t>::min()
                                                 : monster.levels.byReading[i].level;
        levels[2 * i + 1] = monster.levels.byReading[i].reduction;
    }
    return {levels, beginsWithCow(monster.name), monster.firstLineOfName};
}

// A drop table that could be opened, and the line that first names it.
struct OpenedTable {
    std::string path; // its plain form
    std::string listPath;
    int line = 0;
};

class Checker {
  public:
    Checker(FileSource& files, char decimalSeparator)
        : files_(files), separator_(decimalSeparator) {
        lists_.setKeeping(false);
    }

    CheckReport run(const FolderListing& listing) {
        if (listing.folderFault) {
            error(listing.problems.front(), {}, 0, {});
            return {std::move(problems_), 0};
        }
        named_.reserve(listing.files.size());
        nameKey_ = listing.nameKey;
        checkItems();
        checkUniques();
        checkSets();
        known_.build(knownOrder_);
        for (const Difficulty d : kAllDifficulties)
            checkDifficulty(d);
        checkMonsterLists();
        foldIntoItemList();
        checkEncodings();
        const TextMap<const OpenedTable*> otherCase = openedInOtherCase(listing);
        std::string storage;
        for (const std::string& file : listing.files) {
            const std::string_view path = normalPath(file, storage);
            const std::string_view leaf = path.substr(path.rfind('/') + 1);
            const bool own = path.find('/') == path.rfind('/') &&
                             (leaf == "monsterlist.txt" || leaf == "levels.txt");
            if (own || named_.contains(path))
                continue;
            if (const auto named = nameKey_ ? otherCase.find(nameKey_(path)) : otherCase.end();
                named != otherCase.end())
                warn(named->second->listPath, named->second->line,
                     "drop table " + inQuotes(tableName(named->second->path)) + " is spelled " +
                         inQuotes(tableName(path)) +
                         " in the folder: where case counts, it is not found");
            else
                warn(std::string(path), 0, "no monster list names this file");
        }
        // A drop table that a monster list names was reported when it was read.
        for (const DropError& e : listing.problems)
            if (!named_.contains(e.location()->path))
                error(e, {}, 0, {});
        return {sortedByPlace(), filesRead_};
    }

  private:
    // On a file system that ignores case: the drop tables that were opened
    // by a name the listing spells otherwise, by the key of that name.
    TextMap<const OpenedTable*> openedInOtherCase(const FolderListing& listing) const {
        TextMap<const OpenedTable*> byKey;
        if (!nameKey_)
            return byKey;
        TextSet listed;
        for (const std::string& file : listing.files)
            listed.insert(normalPath(file));
        for (const OpenedTable& table : opened_)
            if (!listed.contains(table.path))
                byKey.emplace(nameKey_(table.path), &table);
        return byKey;
    }

    // A drop table's name as a monster list gives it: its path inside the
    // difficulty folder, with a backslash between its parts.
    static std::string tableName(std::string_view path) {
        std::string name(path.substr(path.find('/') + 1));
        std::replace(name.begin(), name.end(), '/', '\\');
        return name;
    }

    // The problems by path, then line, those at one place in the order found.
    // Sorted as places side by side, each with the problem's index, so that
    // a comparison reads no problem and each problem is moved once.
    std::vector<Problem> sortedByPlace() {
        struct Place {
            std::string_view path;
            int line;
            std::size_t index;
        };
        std::vector<Place> order;
        order.reserve(problems_.size());
        for (std::size_t i = 0; i < problems_.size(); ++i)
            order.push_back({problems_[i].path, problems_[i].line, i});
        std::sort(order.begin(), order.end(), [](const Place& a, const Place& b) {
            return std::tie(a.path, a.line, a.index) < std::tie(b.path, b.line, b.index);
        });
        std::vector<Problem> sorted;
        sorted.reserve(order.size());
        for (const Place& place : order)
            sorted.push_back(std::move(problems_[place.index]));
        return sorted;
    }

    // The file, or null when it cannot be opened. `listPath` and `line` say
    // which monster-list line names it, when one does.
    std::shared_ptr<const FileLines> read(const std::string& path,
                                          const std::string* listPath = nullptr, int line = 0) {
        ++filesRead_;
        const auto namedBy = [&] {
            return listPath ? "named by " + *listPath + ":" + std::to_string(line) : std::string();
        };
        try {
            // A file kept for the searches' readers is read through them.
            std::shared_ptr<const FileLines> file =
                lists_.keeping() ? lists_.load(path) : files_.loadReusing(path, spare_);
            if (file->error)
                error(*file->error, path, 0, namedBy());
            if (file->bytes.starts_with(kByteOrderMark))
                warn(path, 1,
                     "the file begins with a byte-order mark (EF BB BF): the searches read it "
                     "as part of the first line");
            if (!isAscii(file->bytes))
                encodings_.emplace_back(path, isUtf8(file->bytes));
            return file;
        } catch (const DropError& e) {
            error(e, path, 0, namedBy());
            return nullptr;
        }
    }

    // Calls visit(line, number) for each line of the file; false when it
    // cannot be opened. A read error partway was reported by read().
    template <class Visit> bool eachLine(const std::string& path, Visit visit) {
        const auto file = read(path);
        if (!file)
            return false;
        LineReader reader(file);
        std::string_view line;
        try {
            while (reader.next(line))
                visit(line, reader.lineNumber());
        } catch (const DropError&) {
        }
        return true;
    }

    void warn(const std::string& path, int line, std::string message) {
        problems_.push_back({path, line, Severity::Warning, std::move(message)});
    }

    // Reports the error a search raises at the place: once for each message.
    void error(const DropError& e, const std::string& path, int line, const std::string& why) {
        const ErrorLocation where = e.location().value_or(ErrorLocation{path, line, {}});
        std::string message = boxMessage(e.message());
        if (!e.detail().empty())
            message += " (" + e.detail() + ")";
        if (!why.empty())
            message += " (" + why + ")";
        // Problems at one place are found one after the other.
        for (auto p = sink_->rbegin(); p != sink_->rend(); ++p) {
            if (p->line != where.line || p->path != where.path)
                break;
            if (p->message == message)
                return;
        }
        sink_->push_back({where.path, where.line, Severity::Error, std::move(message)});
    }

    // The sink of a reader the searches share: each error of a line is
    // reported at that line, and the reader goes on.
    class Collector final : public ErrorSink {
      public:
        explicit Collector(Checker& checker) : checker_(checker) {}
        void at(const std::string& path, int line) {
            path_ = &path;
            line_ = line;
        }
        // A file's read error (at line 0) was told when the checker read it.
        void error(const DropError& e) override {
            if (!e.location() || e.location()->line != 0)
                checker_.error(e, *path_, line_, {});
        }

      private:
        Checker& checker_;
        const std::string* path_ = nullptr;
        int line_ = 0;
    };
    // A sink that passes each error on and notes that there was one.
    class Noting final : public ErrorSink {
      public:
        explicit Noting(ErrorSink& to) : to_(to) {}
        void error(const DropError& e) override {
            noted = true;
            to_.error(e);
        }
        bool noted = false;

      private:
        ErrorSink& to_;
    };
    ErrorSink& collected(const std::string& path, int line) {
        collector_.at(path, line);
        return collector_;
    }

    template <class Convert> bool converts(const std::string& path, int line, Convert convert) {
        try {
            convert();
            return true;
        } catch (const DropError& e) {
            error(e, path, line, {});
            return false;
        }
    }

    void blankEnds(const std::string& what, std::string_view name, const std::string& path,
                   int line) {
        if (hasBlankEnds(name))
            warn(path, line, what + " name " + inQuotes(name) + " has leading or trailing blanks");
    }

    // Whether the name is new to `seen`.
    bool checkName(TextMap<int>& seen, const std::string& what, std::string_view name,
                   const std::string& path, int line) {
        blankEnds(what, name, path, line);
        const auto [at, fresh] = seen.emplace(name, line);
        if (!fresh)
            warn(path, line,
                 what + " " + inQuotes(name) + " is listed twice (first at line " +
                     std::to_string(at->second) + ")");
        return fresh;
    }

    // A name by which a search can match a drop-table line.
    void know(std::string_view name) {
        if (knownItems_.emplace(name).second)
            knownOrder_.emplace_back(name);
    }

    // An item of a drop table that no list knows, or with blanks at its
    // ends: told once a table. Without itemlist.txt every name would be.
    void checkItemName(const std::string& path, int number, std::string_view item) {
        std::string_view name = item;
        if (number == 1 && name.starts_with(kByteOrderMark)) // told already
            name.remove_prefix(kByteOrderMark.size());
        if (known_.contains(name) || !toldItems_.emplace(item).second)
            return;
        blankEnds("item", name, path, number);
        name = trimmed(name);
        if (!itemListRead_ || known_.contains(name))
            return;
        warn(path, number,
             "item " + inQuotes(item) + " is in no list" +
                 suggestionText(similarNames(std::string(name), knownOrder_)));
    }

    void checkBaseItem(const std::string& base, const std::string& owner, const std::string& path,
                       int line) {
        if (itemListRead_ && !itemNames_.contains(base))
            warn(path, line,
                 "base item " + inQuotes(base) + " of " + owner + " is not in " + kItemListPath);
    }

    void checkItems() {
        TextMap<int> seen;
        lists_.setKeeping(true); // the file read here serves the flags
        itemListRead_ = eachLine(kItemListPath, [&](std::string_view line, int number) {
            const ItemLine cut = cutItemLine(line);
            itemNames_.emplace(cut.name);
            know(cut.name);
            if (cut.flag != '\0')
                know(cut.lineKey);
            if (line.empty())
                return warn(kItemListPath, number, "blank line");
            if (line.find(',') == std::string_view::npos)
                return warn(kItemListPath, number,
                            "line " + inQuotes(line) + " has no \",\": its item name is empty");
            checkName(seen, "item", cut.name, kItemListPath, number);
            if (cut.flag == '\0' || line[line.size() - 2] != ',')
                warn(kItemListPath, number,
                     "item " + inQuotes(cut.name) +
                         " has no quality flag (\",0\" or \",1\" at the end)");
        });
        for (const ItemKey key : {ItemKey::BeforeComma, ItemKey::WithoutLastTwo})
            flagOf({}, key);
        lists_.setKeeping(false);
        lists_.release(kItemListPath);
    }

    void checkUniques() {
        TextMap<int> seen;
        TextMap<int> lastOfName;
        eachLine(kUniqueListPath, [&](std::string_view line, int number) {
            const UniqueFields fields = cutUniqueLine(line);
            Noting sink(collected(kUniqueListPath, number));
            const std::uint32_t at = uniques_.add(fields, number, sink);
            uniqueListEnds_ = uniqueListEnds_ || sink.noted;
            if (at != UniqueIndex::kEnd) {
                UniqueIndex::Unique& unique = uniques_.unique(at);
                tame_ = tame_ && std::abs(unique.level) <= keep_;
                converts(kUniqueListPath, number, [&] { unique.weight = fields.weight(); });
                bases_[fields.baseItem].uniques = uniques_.groupOf(fields.baseItem);
            }
            lastOfName[fields.name] = number;
            know(fields.baseItem);
            checkName(seen, "unique", fields.name, kUniqueListPath, number);
            checkBaseItem(fields.baseItem, "unique " + inQuotes(fields.name), kUniqueListPath,
                          number);
        });
        for (const auto& [name, line] : lastOfName)
            lastUniqueLines_.insert(line);
    }

    // Each unique of `item` whose weight converts (`all`: each one), by its
    // index; false when `visit` stops.
    template <class Visit> bool eachUnique(const Base& item, Visit visit, bool all = false) {
        for (std::uint32_t at = item.second.uniques ? item.second.uniques->first
                                                    : UniqueIndex::kEnd;
             at != UniqueIndex::kEnd; at = uniques_.unique(at).next)
            if ((all || uniques_.unique(at).weight) && !visit(at, uniques_.unique(at)))
                return false;
        return true;
    }

    const SetItemRecord* addToBlocks(SetItemIndex& blocks, const SetListLine& line, int number) {
        Noting sink(collected(kSetListPath, number));
        const SetItemRecord* record = blocks.add(line, sink);
        setListEnds_ = setListEnds_ || sink.noted;
        return record;
    }

    void checkSets() {
        std::vector<SetListLine> lines;
        TextSet baseSets;
        eachLine(kSetListPath, [&](std::string_view line, int) {
            lines.push_back(cutSetListLine(line));
            if (lines.back().header)
                baseSets.insert(lines.back().setKey);
        });
        TextMap<int> seenSets;
        TextMap<int> seenItems;
        std::unordered_set<std::int32_t> levelsSeen(setLevels_.begin(), setLevels_.end());
        SetItemIndex blocks(files_); // as the set monster search reads the file
        bool inBlock = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const SetListLine& line = lines[i];
            const int number = static_cast<int>(i) + 1;
            // The set item search takes the level of every line whose key is
            // the base set it is given, a header or not.
            std::optional<std::int32_t> level;
            if (baseSets.contains(line.setKey))
                converts(kSetListPath, number, [&] { level = line.setLevel(); });
            if (line.header) {
                addToBlocks(blocks, line, number);
                inBlock = true;
                if (level && levelsSeen.insert(*level).second)
                    setLevels_.push_back(*level);
                tame_ = tame_ && std::abs(level.value_or(0)) <= keep_;
                checkName(seenSets, "base set", line.setKey, kSetListPath, number);
                continue;
            }
            if (!inBlock)
                warn(kSetListPath, number, "set item before the first base set");
            const SetItemRecord* block = addToBlocks(blocks, line, number);
            SetUse use{number, std::nullopt, 0, std::nullopt};
            if (block) {
                use.blockWeight = block->setWeight;
                use.blockLevel = block->setLevel;
            }
            converts(kSetListPath, number, [&] { use.lastCharWeight = line.lastCharWeight(); });
            if (use.blockWeight || use.lastCharWeight)
                bases_[line.baseItem].sets.push_back(use);
            know(line.baseItem);
            checkName(seenItems, "set item", line.beforeComma, kSetListPath, number);
            checkBaseItem(line.baseItem, "set item " + inQuotes(line.beforeComma), kSetListPath,
                          number);
        }
    }

    void checkDifficulty(Difficulty d) {
        monsters_.clear();
        tables_.clear();
        levels_.clear();
        walkOrder_.clear();
        walksEnd_ = kNoEnd;
        setItemEnd_ = kNoEnd;
        uniqueItemEnd_ = kNoEnd;
        itemWalks_.clear();
        monsterFailures_.clear();
        uniqueMonsterStopped_.clear();
        setMonsterStopped_.clear();
        const std::string listPath = monsterListPath(d);
        const std::string ownLevels = levelsPath(d);
        const bool listRead = eachLine(listPath, [&](std::string_view line, int number) {
            checkMonsterLine(d, listPath, line, number);
            if (line.empty())
                warn(listPath, number,
                     "blank line: every search that reads the whole monster list stops here "
                     "with '' is not a valid integer value.");
        });
        checkLevels(d);
        proneBases_.clear();
        for (Base& base : bases_)
            if (prone(base))
                proneBases_.add(base.first);
        std::string storage; // a path's normal form, when it is not its own
        for (auto& [path, uses] : tables_) {
            for (Dropper& dropper : uses.droppers)
                if (const auto found = levels_.find(dropper.name); found != levels_.end())
                    dropper.levels = found->second;
            named_.insert(normalPath(path, storage));
            // A drop table may be one of the difficulty's own files, read already.
            filesRead_ -= path == listPath || path == ownLevels ? 1 : 0;
            if (!checkTable(path, uses, listPath))
                walksEnd_ = std::min(walksEnd_, WalkEnd{uses.firstWalk, 0});
            else if (nameKey_)
                opened_.push_back({normalPath(path), listPath, uses.firstLine});
            if (uses.badLine > 0)
                setItemEnd_ = std::min(setItemEnd_, WalkEnd{uses.firstWalk, uses.badLine});
        }
        walkComputations();
        if (listRead) {
            listedMonsters_[static_cast<std::size_t>(d)] = std::move(monsters_);
            monsters_.reserve(listedMonsters_[static_cast<std::size_t>(d)]->size());
        }
    }

    // The computations of the searches on the difficulty's walk.
    void walkComputations() {
        // A search stops at the first computation that fails on its walk;
        // the searches that walk the whole list stop where it ends them.
        // The walks that look up a monster's level end at a lookup that fails.
        for (std::size_t k = 0; k < walkOrder_.size(); ++k) {
            const MonsterLevels& levels =
                walkOrder_[k].first->second.droppers[walkOrder_[k].second].levels;
            if (levels.fails(kSetItemReading))
                setItemEnd_ = std::min(setItemEnd_, WalkEnd{k, 0});
            if (levels.fails(kUniqueItemReading))
                uniqueItemEnd_ = std::min(uniqueItemEnd_, WalkEnd{k, 0});
        }
        setItemEnd_ = std::min(setItemEnd_, walksEnd_);
        uniqueItemEnd_ = std::min(uniqueItemEnd_, walksEnd_);
        for (std::size_t k = 0; k < walkOrder_.size(); ++k) {
            const Table& table = *walkOrder_[k].first;
            const Dropper& monster = table.second.droppers[walkOrder_[k].second];
            tableComputations(table, monster, k);
            if (uniqueListEnds_ && table.second.firstStep > 0)
                uniqueMonsterStopped_.insert(monster.name);
        }
    }

    // A monster that one difficulty's monster list names and another's,
    // read, does not: told once, at the first line that names it.
    void checkMonsterLists() {
        for (const Difficulty d : kAllDifficulties) {
            const std::size_t at = static_cast<std::size_t>(d);
            if (!listedMonsters_[at])
                continue;
            for (const auto& listed : *listedMonsters_[at]) {
                const std::string& name = listed.first;
                std::string missing;
                for (const Difficulty other : kAllDifficulties) {
                    const std::size_t o = static_cast<std::size_t>(other);
                    if (o == at || !listedMonsters_[o] || listedMonsters_[o]->contains(name))
                        continue;
                    missing += (missing.empty() ? "" : " nor ") + monsterListPath(other);
                }
                // A name that a list before this one holds was told there.
                const auto inEarlier = [&] {
                    return std::any_of(
                        std::begin(listedMonsters_), std::begin(listedMonsters_) + at,
                        [&](const auto& list) { return list && list->contains(name); });
                };
                if (!name.empty() && !missing.empty() && !inEarlier())
                    warn(monsterListPath(d), listed.second,
                         "monster " + inQuotes(name) + " is not in " + missing);
            }
        }
    }

    // Each ":" that a search cuts the line at names a drop table: the first
    // one for every search, those among the first 30 characters for the
    // monster search.
    void checkMonsterLine(Difficulty d, const std::string& listPath, std::string_view line,
                          int number) {
        const MonsterCandidate first = cutFirstColon(line);
        const bool fresh = checkName(monsters_, "monster", first.name, listPath, number);
        if (first.name.size() >= kMonsterNameLimit)
            warn(listPath, number,
                 "monster name " + inQuotes(first.name) +
                     " has 30 characters or more: the window does not offer it and the monster "
                     "search cannot find it");
        scanMonsterNames(line, candidates_);
        if (candidates_.empty() || candidates_.front().name.size() != first.name.size())
            candidates_.insert(candidates_.begin(), {first.name, first.rest});
        for (std::size_t i = 0; i < candidates_.size(); ++i) {
            const MonsterNameAt& candidate = candidates_[i];
            const std::optional<std::int32_t> picks =
                tablePicks(d, listPath, number, candidate, i == 0);
            if (!picks)
                continue;
            const std::string_view name = dropTableName(candidate.rest);
            // Tables are found by their path: two names of one file
            // ("a\\b.txt", "a/b.txt") share its uses.
            const auto [table, added] = tables_.try_emplace(dropTablePath(d, candidate.rest));
            if (added) {
                table->second.firstLine = number;
                table->second.firstPicks = *picks;
            }
            TableUses& uses = table->second;
            if (i > 0)
                continue;
            if (!uses.droppers.empty() && (uses.shared || uses.droppers[0].name != first.name)) {
                uses.shared = true;
                warn(listPath, number,
                     "drop table " + inQuotes(name) + " is named by two monsters");
            }
            if (fresh || uses.later.insert(first.name).second) {
                uses.firstWalk = std::min(uses.firstWalk, walkOrder_.size());
                walkOrder_.emplace_back(&*table, uses.droppers.size());
                uses.droppers.push_back({first.name, fresh, {}});
            }
        }
    }

    // The picks of the drop table a ":" of a monster line names, or nothing
    // when it gives no picks or no name (told here). The line's first ":"
    // giving none ends every walk of the list there.
    std::optional<std::int32_t> tablePicks(Difficulty d, const std::string& listPath, int number,
                                           const MonsterNameAt& candidate, bool first) {
        std::int32_t picks = 0;
        if (converts(listPath, number, [&] { picks = dropTablePicks(candidate.rest); })) {
            if (!dropTableName(candidate.rest).empty())
                return picks;
            emptyTableName(dropTablePath(d, candidate.rest), listPath, number,
                           first ? std::string_view() : candidate.name);
        }
        if (first)
            walksEnd_ = std::min(walksEnd_, WalkEnd{walkOrder_.size(), 0});
        return std::nullopt;
    }

    // A monster line whose ":" leaves no drop-table name names the difficulty
    // folder itself; the searches fail to open it. `secondName` is the name
    // before a later ":", empty for the first.
    void emptyTableName(const std::string& folder, const std::string& listPath, int number,
                        std::string_view secondName) {
        try {
            files_.load(folder);
        } catch (const DropError& e) {
            error(DropError(e.message(), e.detail()), listPath, number,
                  secondName.empty() ? "its drop-table name is empty"
                                     : "the line's second name " + inQuotes(secondName) +
                                           " has an empty drop-table name");
        }
    }

    void checkLevels(Difficulty d) {
        const std::string path = levelsPath(d);
        levelOrder_.clear();
        lists_.setKeeping(true); // the file read here serves the lookups
        const bool read = eachLine(path, [&](std::string_view line, int number) {
            const std::string_view name = levelLineName(line);
            const auto [at, fresh] = levels_.emplace(name, MonsterLevels{{}, {}, number});
            blankEnds("monster", name, path, number);
            if (fresh)
                levelOrder_.push_back(&*at);
            else
                warn(path, number,
                     "monster " + inQuotes(name) + " has a level line already (line " +
                         std::to_string(at->second.firstLine) + ")");
        });
        lists_.setKeeping(false);
        if (!read)
            return;
        lookUpLevels(d, path);
        lists_.release(path);
        for (const auto& [name, line] : monsters_)
            if (!name.empty() && !levels_.contains(name))
                warn(monsterListPath(d), line,
                     "monster " + inQuotes(name) + " has no level line in " + path);
    }

    // A search looks up a name that is typed (never the empty one) or that
    // the monster list holds, to its last line only a listed name. The
    // readings of the first line come first, so that an error the last
    // line's reading meets again there is told once.
    // Names are looked up in the order of the file, which the index finds
    // fastest.
    void lookUpLevels(Difficulty d, const std::string& path) {
        LevelIndex index(lists_);
        for (auto* const named : levelOrder_) {
            const bool listed = monsters_.contains(named->first);
            if (listed || !named->first.empty())
                lookUpLevel(index, d, path, *named, listed);
        }
    }

    // One name's records by each reading; readings that take the same line
    // alike share one lookup.
    void lookUpLevel(LevelIndex& index, Difficulty d, const std::string& path,
                     std::pair<const std::string, MonsterLevels>& named, bool listed) {
        // By last line, by cut: the record, and whether the lookup failed.
        std::optional<std::pair<std::optional<LevelRecord>, bool>> taken[2][2];
        for (const bool last : {false, true})
            for (std::size_t i = 0; i < std::size(kReadings); ++i) {
                const Reading& reading = *kReadings[i];
                if (reading.lastLevelLine != last)
                    continue;
                const bool lastLine = listed && last;
                auto& level = taken[lastLine ? 1 : 0][reading.cut == ReductionCut::AfterComma];
                if (!level) {
                    Noting sink(collected(path, 0));
                    level.emplace(lastLine ? index.last(d, named.first, reading.cut, sink)
                                           : index.first(d, named.first, reading.cut, sink),
                                  sink.noted);
                }
                named.second.failed[i] = level->second;
                if (level->first) {
                    named.second.byReading[i] = *level->first;
                    tame_ = tame_ && std::abs(level->first->level) <= keep_;
                }
            }
    }

    // False when the table could not be opened.
    bool checkTable(const std::string& path, TableUses& uses, const std::string& listPath) {
        const auto file = read(path, &listPath, uses.firstLine);
        if (!file)
            return false;
        // The chances of the first pick; a sum without a line that does not
        // convert would only mislead.
        double pickSum = 0;
        int pickLines = 0;
        bool firstPick = true;
        if (merged_.size() > kMergedNames)
            merged_ = {};
        ++mergedTable_;
        mergedCount_ = 0;
        mergedSigns_.clear();
        kept_.clear();
        keptItems_.clear();
        lines_ = 0;
        if (!toldItems_.empty())
            toldItems_.clear();
        walkTable(file, uses.firstPicks, [&](int number, const DropStep& step, bool afterDash) {
            const std::optional<double> p = checkDropLine(path, number, step, afterDash, uses);
            firstPick = firstPick && !afterDash;
            if (firstPick) {
                pickSum = p ? pickSum + *p : 1;
                pickLines += p ? 1 : 0;
                firstPick = p.has_value();
            }
        });
        if (pickLines > 0 && std::abs(pickSum - 1) > kPickSumTolerance)
            warn(path, 1,
                 joined({"the chances of one pick add up to ", generalNumberText(pickSum, '.'),
                         ", not 1"}));
        if (mergedCount_ > 0)
            checkMergedTotals(path, file, uses.firstPicks);
        return true;
    }

    // Calls visit(number, step, afterDash) for each line of a drop table
    // other than "-", as the searches cut it with the picks of the monster
    // line that names it. A read error partway was reported by read().
    template <class Visit>
    void walkTable(const std::shared_ptr<const FileLines>& file, std::int32_t picks, Visit visit) {
        LineReader reader(file);
        bool afterDash = false;
        try {
            walkDropLines(
                reader, picks, separator_, [&] { afterDash = true; },
                [&](const DropStep& step) {
                    visit(reader.lineNumber(), step, afterDash);
                    return true;
                });
        } catch (const DropError&) {
        }
    }

    // The chance of one drop-table line other than "-", or nothing when it
    // does not convert.
    std::optional<double> checkDropLine(const std::string& path, int number, const DropStep& step,
                                        bool afterDash, TableUses& uses) {
        if (uses.firstStep == 0)
            uses.firstStep = number;
        if (!step.item.empty() && !known_.contains(step.item))
            checkItemName(path, number, step.item);
        double p = 0;
        if (!converts(path, number, [&] { p = toFloatView(step.chance, separator_); })) {
            if (uses.badLine == 0)
                uses.badLine = number;
            if (const auto base = bases_.find(step.item);
                base != bases_.end() && base->second.uniques &&
                std::none_of(uses.badItems.begin(), uses.badItems.end(),
                             [&](const auto& bad) { return bad.first == &*base; }))
                uses.badItems.emplace_back(&*base, number);
            // A line without ":" gives no item at all.
            if (step.item.data() == nullptr && step.chance.empty())
                warn(path, number,
                     "blank line: every search that reads this table stops here with '' is not a "
                     "valid floating point value.");
            return std::nullopt;
        }
        if (p < 0 || p > 1)
            warn(path, number, "chance " + inQuotes(step.chance) + " is outside 0..1");
        if (proneBases_.mayHold(step.item))
            if (const auto base = bases_.find(step.item);
                base != bases_.end() && prone(*base) &&
                uses.proneItems[afterDash ? 1 : 0].insert(&*base).second)
                uses.prone.push_back({number, &*base, p, afterDash});
        // Kept for the merged totals, up to a bound.
        if (lines_++ == kept_.size() && kept_.size() < kKeptLines &&
            keptItems_.size() + step.item.size() <= kKeptBytes) {
            kept_.push_back(
                {keptItems_.size(), step.item.size(), p, step.picks, number, afterDash});
            keptItems_.append(step.item);
        }
        if (afterDash)
            mergeItem(step.item);
        return p;
    }

    // Gives `item` a merged total in the table being read, once.
    void mergeItem(std::string_view item) {
        auto merged = merged_.find(item);
        if (merged == merged_.end())
            merged = merged_.emplace(item, Merged()).first;
        if (merged->second.table != mergedTable_) {
            merged->second = {0.0, false, mergedTable_};
            ++mergedCount_;
            mergedSigns_.add(item);
        }
    }

    // The monster search merges an item's entries from the first "-" on: a
    // warning where the item's chances in the table so far first pass 100 %
    // once merged. The lines are those kept by the first walk, or for a table
    // too long to keep, those of a second walk.
    void checkMergedTotals(const std::string& path, const std::shared_ptr<const FileLines>& file,
                           std::int32_t picks) {
        const auto add = [&](std::string_view item, double p, std::int32_t linePicks, int number,
                             bool afterDash) {
            const auto found = mergedSigns_.mayHold(item) ? merged_.find(item) : merged_.end();
            if (found == merged_.end() || found->second.table != mergedTable_)
                return;
            auto& [total, warned, table] = found->second;
            total += monsterDropChance(item, p, linePicks);
            if (afterDash && !warned && total > 100 + kPickSumTolerance) {
                warned = true;
                warn(path, number,
                     joined({"item ", inQuotes(item), " adds up to ", generalNumberText(total, '.'),
                             " % in this drop table once merged"}));
            }
        };
        if (kept_.size() == lines_) {
            for (const KeptLine& line : kept_)
                add(std::string_view(keptItems_).substr(line.itemAt, line.itemSize), line.p,
                    line.picks, line.number, line.afterDash);
            return;
        }
        walkTable(file, picks, [&](int number, const DropStep& step, bool afterDash) {
            double p = 0;
            if (isNumber(step.chance, p))
                add(step.item, p, step.picks, number, afterDash);
        });
    }

    // Whether `text` converts, into `value`.
    bool isNumber(std::string_view text, double& value) const {
        try {
            value = toFloatView(text, separator_);
            return true;
        } catch (const DropError&) {
            return false;
        }
    }

    // Whether a computation with `item` can fail: without a quality flag,
    // with a set weight of 0, or with levels far enough apart to make a
    // quality term 0.
    bool prone(Base& base) {
        std::optional<bool>& prone = base.second.prone;
        const std::vector<SetUse>& sets = base.second.sets;
        if (!prone)
            prone = flagOf(base.first, ItemKey::BeforeComma) == '\0' ||
                    flagOf(base.first, ItemKey::WithoutLastTwo) == '\0' ||
                    std::any_of(sets.begin(), sets.end(),
                                [](const SetUse& s) {
                                    return s.blockWeight == 0 || s.lastCharWeight == 0;
                                }) ||
                    !eachUnique(
                        base,
                        [](std::uint32_t, const UniqueIndex::Unique& unique) {
                            return unique.weight.has_value();
                        },
                        true);
        return !tame_ || *prone;
    }

    // The error one computation raises, or nothing. A computation that
    // cannot fail is not made: with levels within keep_, only a divisor or
    // weight of 0 fails it.
    template <class Compute>
    std::optional<Failure> failureOf(const Base& item, std::int32_t divisor, std::int32_t weight,
                                     Compute compute) const {
        if (tame_ && divisor != 0 && weight != 0)
            return std::nullopt;
        try {
            compute();
            return std::nullopt;
        } catch (const DropError& e) {
            return Failure{
                e, divisor == 0  ? "base item " + inQuotes(item.first) + " has no quality flag"
                   : weight == 0 ? "a set item of " + inQuotes(item.first) + " has a weight of 0"
                                 : std::string()};
        }
    }

    // The quality flag of `item` as a search looks it up by `key`.
    char flagOf(const std::string& item, ItemKey key) {
        return flags_[key == ItemKey::BeforeComma ? 0 : 1].lookup(item,
                                                                  collected(kItemListPath, 0));
    }

    // A unique's computation, with magic find 0, at the levels of `level`.
    std::optional<Failure> uniqueFailure(const ProneLine& at, const UniqueIndex::Unique& use,
                                         const LevelKey& level, const Reading& reading,
                                         UniqueChanceForm form) {
        if (use.level > level.first)
            return std::nullopt;
        UniqueChanceInput unique;
        unique.p = at.p;
        unique.picks = 1;
        unique.monsterLevel = level.first;
        unique.qualityReduction = level.second;
        unique.realMagicFind = realUniqueMagicFind(0);
        unique.baseItem = at.item->first;
        unique.uniqueLevel = use.level;
        unique.uniqueWeight = *use.weight;
        unique.quality = uniqueQuality(flagOf(at.item->first, reading.flagKey));
        return failureOf(*at.item, unique.quality.divisor, 1,
                         [&] { uniqueDropChance(unique, form); });
    }

    // A set item's computation, with magic find 0, at the levels of `level`.
    std::optional<Failure> setFailure(const ProneLine& at, const std::string& monster,
                                      const LevelKey& level, std::int32_t setLevel,
                                      std::int32_t weight, const Reading& reading,
                                      SetChanceForm form) {
        if (level.first < setLevel)
            return std::nullopt;
        const SetQuality quality = setQualityFor(flagOf(at.item->first, reading.flagKey));
        SetChanceInput set;
        set.p = at.p;
        set.picks = 1;
        set.realMagicFind = realSetMagicFind(0);
        set.baseItem = at.item->first;
        set.monsterName = monster;
        set.ratio = quality.ratio;
        set.divisor = quality.divisor;
        set.monsterLevel = level.first;
        set.reduction = level.second;
        set.setLevel = setLevel;
        set.setWeight = weight;
        return failureOf(*at.item, quality.divisor, weight, [&] { setDropChance(set, form); });
    }

    ItemWalk& itemWalk(const Base& item) {
        const auto [found, fresh] = itemWalks_.try_emplace(&item);
        ItemWalk& walk = found->second;
        if (!fresh)
            return walk;
        const BaseItem& uses = item.second;
        eachUnique(item, [&](std::uint32_t u, const UniqueIndex::Unique& unique) {
            if (lastUniqueLines_.contains(unique.line))
                walk.openUniques.push_back(u);
            return true;
        });
        std::vector<std::pair<std::int32_t, std::size_t>> weights; // and their first set item
        for (std::size_t s = 0; s < uses.sets.size(); ++s) {
            const std::optional<std::int32_t>& weight = uses.sets[s].lastCharWeight;
            if (weight && std::none_of(weights.begin(), weights.end(),
                                       [&](const auto& w) { return w.first == *weight; }))
                weights.emplace_back(*weight, s);
        }
        for (const auto& [weight, firstSet] : weights)
            for (std::size_t level = 0; level < setLevels_.size(); ++level)
                walk.openSetItems.push_back({weight, level, firstSet});
        return walk;
    }

    // The unique item searches not stopped yet, at levels not computed with
    // yet: those that fail are stopped.
    void uniqueItemSearches(const ProneLine& at, ItemWalk& walk, const LevelKey& level,
                            std::vector<FirstFailure>& failures) {
        if (!walk.uniqueItemLevels.insert(level).second)
            return;
        std::erase_if(walk.openUniques, [&](std::size_t u) {
            auto failure = uniqueFailure(at, uniques_.unique(static_cast<std::uint32_t>(u)), level,
                                         kUniqueItemReading, UniqueChanceForm::ItemSearch);
            if (failure)
                failures.push_back({{0, u, 0}, std::move(*failure)});
            return failure.has_value();
        });
    }

    // The same for the set item searches.
    void setItemSearches(const ProneLine& at, ItemWalk& walk, const std::string& monster,
                         const SetLevelKey& level, std::vector<FirstFailure>& failures) {
        if (!walk.setItemLevels.insert(level).second)
            return;
        std::erase_if(walk.openSetItems, [&](const SetItemSearches& searches) {
            auto failure = setFailure(at, monster, level.first, setLevels_[searches.level],
                                      searches.weight, kSetItemReading, SetChanceForm::ItemSearch);
            if (failure)
                failures.push_back(
                    {{1, searches.firstSet, 1 + searches.level}, std::move(*failure)});
            return failure.has_value();
        });
    }

    // Where a unique monster search at `level` first fails on the line.
    const std::optional<FirstFailure>& uniqueMonsterFailure(const ProneLine& at, ItemWalk& walk,
                                                            const LevelKey& level) {
        const auto added = walk.uniqueMonsterFailure.try_emplace(level);
        std::optional<FirstFailure>& first = added.first->second;
        // A weight that does not convert ends the search where it is first
        // needed.
        if (added.second)
            eachUnique(
                *at.item,
                [&](std::uint32_t u, const UniqueIndex::Unique& unique) {
                    if (!unique.weight) {
                        if (unique.level <= level.first)
                            first = FirstFailure{{0, u, 1}, {DropError(""), {}, true}};
                        return !first;
                    }
                    if (auto failure = uniqueFailure(at, unique, level, kUniqueMonsterReading,
                                                     UniqueChanceForm::MonsterSearch))
                        first = FirstFailure{{0, u, 1}, std::move(*failure)};
                    return !first;
                },
                true);
        return first;
    }

    // Where a set monster search at `level` first fails on the line.
    const std::optional<FirstFailure>& setMonsterFailure(const ProneLine& at, ItemWalk& walk,
                                                         const std::string& monster,
                                                         const SetLevelKey& level) {
        const auto [known, fresh] = walk.setMonsterFailure.try_emplace(level);
        const std::vector<SetUse>& sets = at.item->second.sets;
        for (std::size_t s = 0; fresh && s < sets.size() && !known->second; ++s)
            if (sets[s].blockWeight)
                if (auto failure = setFailure(at, monster, level.first, sets[s].blockLevel,
                                              *sets[s].blockWeight, kSetMonsterReading,
                                              SetChanceForm::MonsterSearch))
                    known->second = FirstFailure{{1, s, 0}, std::move(*failure)};
        return known->second;
    }

    // Which searches reach a drop-table line.
    struct Reach {
        bool uniqueItem = false; // the searches that walk the whole monster list
        bool setItem = false;
        bool uniqueMonster = false; // the monster's own
        bool setMonster = false;
    };

    // The computations of the searches on the line for `monster`: each
    // unique's by the unique item search and the monster's unique monster
    // search, each set item's by the monster's set monster search (at the
    // level of its block) and by the set item search at each set level, with
    // magic find 0. Each error is reported once, in the order the searches
    // meet them; the searches they stop compute no more. `reach`: the
    // searches that reach the line.
    void lineComputations(const std::string& path, const ProneLine& at, const Dropper& monster,
                          const Reach& reach) {
        ItemWalk& walk = itemWalk(*at.item);
        const bool cow = beginsWithCow(monster.name);
        const auto levels = [&](const Reading& reading) {
            return levelKey(monster.levels[reading], at.afterDash);
        };
        std::vector<FirstFailure> failures;
        if (reach.uniqueItem)
            uniqueItemSearches(at, walk, levels(kUniqueItemReading), failures);
        if (reach.uniqueMonster && !uniqueMonsterStopped_.contains(monster.name))
            if (const auto& first = uniqueMonsterFailure(at, walk, levels(kUniqueMonsterReading))) {
                failures.push_back(*first);
                uniqueMonsterStopped_.insert(monster.name);
            }
        // The set monster search reads the first monster line of a name.
        if (reach.setMonster && monster.firstLineOfName &&
            !setMonsterStopped_.contains(monster.name))
            if (const auto& first =
                    setMonsterFailure(at, walk, monster.name, {levels(kSetMonsterReading), cow})) {
                failures.push_back(*first);
                setMonsterStopped_.insert(monster.name);
            }
        if (reach.setItem)
            setItemSearches(at, walk, monster.name, {levels(kSetItemReading), cow}, failures);
        std::sort(failures.begin(), failures.end(),
                  [](const FirstFailure& a, const FirstFailure& b) { return a.order < b.order; });
        for (const FirstFailure& f : failures)
            report(path, at.line, f.failure);
    }

    // The computations on each line of the table that can fail, for
    // `monster`. A monster at the same levels as one before on the table
    // meets no level there that the searches alike for every monster have
    // not met, and its own searches fail where that one's did. `walk`: the
    // monster's place in the walk of the monster list.
    void tableComputations(const Table& table, const Dropper& monster, std::size_t walk) {
        const std::vector<ProneLine>& prone = table.second.prone;
        const auto& badItems = table.second.badItems;
        std::size_t passed = 0;
        const auto passBadItems = [&](int before) {
            for (; passed < badItems.size() && badItems[passed].second < before; ++passed)
                stopUniqueItems(*badItems[passed].first, badItems[passed].second, monster, walk);
        };
        if (prone.empty())
            return passBadItems(std::numeric_limits<int>::max());
        const auto [known, fresh] = monsterFailures_[&table].try_emplace(monsterKey(monster));
        MonsterFailures& first = known->second;
        if (fresh) {
            const int bad = table.second.badLine;
            for (std::size_t i = 0; i < prone.size(); ++i) {
                const int line = prone[i].line;
                passBadItems(line);
                const Reach reach{
                    reaches(uniqueItemEnd_, walk, line), reaches(setItemEnd_, walk, line),
                    !monster.levels.fails(kUniqueMonsterReading) &&
                        (!uniqueListEnds_ || line <= table.second.firstStep),
                    !monster.levels.fails(kSetMonsterReading) && (bad == 0 || line < bad) &&
                        (!setListEnds_ || line <= table.second.firstStep)};
                lineComputations(table.first, prone[i], monster, reach);
                noteMonsterFailures(prone[i], i, monster, reach, first);
            }
            return passBadItems(std::numeric_limits<int>::max());
        }
        std::vector<std::pair<std::size_t, const FirstFailure*>> failures;
        if (first.uniqueMonster && uniqueMonsterStopped_.insert(monster.name).second)
            failures.emplace_back(first.uniqueMonster->first, &first.uniqueMonster->second);
        if (first.setMonster && setMonsterStopped_.insert(monster.name).second)
            failures.emplace_back(first.setMonster->first, &first.setMonster->second);
        std::sort(failures.begin(), failures.end(), [](const auto& a, const auto& b) {
            return std::tie(a.first, a.second->order) < std::tie(b.first, b.second->order);
        });
        for (const auto& [line, f] : failures)
            report(table.first, prone[line].line, f->failure);
    }

    // A line of `item` whose chance does not convert stops the unique item
    // searches that take it: those of its uniques at or below the monster's
    // level.
    void stopUniqueItems(const Base& item, int line, const Dropper& monster, std::size_t walk) {
        if (!reaches(uniqueItemEnd_, walk, line))
            return;
        const std::int32_t level = monster.levels[kUniqueItemReading].level;
        std::erase_if(itemWalk(item).openUniques, [&](std::size_t u) {
            return uniques_.unique(static_cast<std::uint32_t>(u)).level <= level;
        });
    }

    // Where on the table the monster's own searches first fail, stopped or
    // not: the line at `index` if not before.
    void noteMonsterFailures(const ProneLine& at, std::size_t index, const Dropper& monster,
                             const Reach& reach, MonsterFailures& first) {
        ItemWalk& walk = itemWalk(*at.item);
        if (reach.uniqueMonster && !first.uniqueMonster)
            if (const auto& failure = uniqueMonsterFailure(
                    at, walk, levelKey(monster.levels[kUniqueMonsterReading], at.afterDash)))
                first.uniqueMonster.emplace(index, *failure);
        if (reach.setMonster && monster.firstLineOfName && !first.setMonster)
            if (const auto& failure =
                    setMonsterFailure(at, walk, monster.name,
                                      {levelKey(monster.levels[kSetMonsterReading], at.afterDash),
                                       beginsWithCow(monster.name)}))
                first.setMonster.emplace(index, *failure);
    }

    // Without itemlist.txt every search that needs a quality flag stops at
    // it: those errors are counted, not listed.
    void report(const std::string& path, int line, const Failure& failure) {
        if (failure.told)
            return;
        sink_ = itemListRead_ ? &problems_ : &followers_;
        error(failure.error, path, line, failure.why);
        sink_ = &problems_;
    }

    // The computation errors that only follow from a missing itemlist.txt
    // are counted at its error.
    void foldIntoItemList() {
        if (followers_.empty())
            return;
        for (Problem& p : problems_)
            if (p.path == kItemListPath && p.line == 0 && p.severity == Severity::Error) {
                p.follows = static_cast<int>(followers_.size());
                p.message += " (" + std::to_string(p.follows) + " search errors follow from this)";
                return;
            }
    }

    // A file whose names are not UTF-8 in a folder whose other names are
    // shows them wrongly.
    void checkEncodings() {
        const auto utf8 = [](const auto& file) { return file.second; };
        if (std::any_of(encodings_.begin(), encodings_.end(), utf8))
            for (const auto& [path, isUtf8] : encodings_)
                if (!isUtf8)
                    warn(path, 0,
                         "this file is not UTF-8 while other files of the folder are: its names "
                         "will show wrongly");
    }

    FileSource& files_;
    CachingFileSource lists_{files_};  // keeps a file only while asked to
    std::shared_ptr<FileLines> spare_; // the buffer each file not kept is read into
    char separator_;
    std::vector<Problem> problems_;
    std::vector<Problem> followers_; // computation errors while itemlist.txt is missing
    std::vector<Problem>* sink_ = &problems_;
    Collector collector_{*this};
    int filesRead_ = 0;
    std::vector<std::pair<std::string, bool>> encodings_; // the files not ASCII: UTF-8 or not
    TextSet itemNames_;
    // The names a drop-table line may give an item by: the item list's, by
    // the text before "," and by the line without its flag, and the base
    // items of the unique and set lists, "Nothing" first; in list order too.
    TextSet knownItems_{"Nothing"};
    std::vector<std::string> knownOrder_{"Nothing"};
    NameTable known_;   // knownOrder_, once the lists are read
    TextSet toldItems_; // the names of the table being read told about
    // Each difficulty's monster list, when read: its names and first lines.
    std::optional<TextMap<int>> listedMonsters_[std::size(kAllDifficulties)];
    // The quality flags by the text before "," and by the line without its
    // last two characters, as the searches look them up.
    QualityFlags flags_[2] = {{lists_, ItemKey::BeforeComma}, {lists_, ItemKey::WithoutLastTwo}};
    bool itemListRead_ = false;
    TextMap<BaseItem> bases_;
    // The unique list, as the unique monster search indexes it, and the
    // last line of each unique's name: the unique item search reads only that.
    UniqueIndex uniques_{files_, std::numeric_limits<std::int32_t>::max()};
    std::unordered_set<int> lastUniqueLines_;
    std::vector<std::int32_t> setLevels_{
        0}; // the set levels the set item search can take, once each
    const std::int32_t keep_ = qualityKeepingLevel();
    bool tame_ = true; // every level within keep_
    TextPool named_;   // every drop table a monster list names
    // Where names of one file differ in case only, their key; and the drop
    // tables opened, each with the line of its monster list that names it.
    std::string (*nameKey_)(std::string_view) = nullptr;
    std::vector<OpenedTable> opened_;
    // Of the table being read: the total of each item merged, whether it
    // was warned about, and a filter of their names; its lines that convert,
    // as many as are kept (their items one after another) and in all. The
    // names of earlier tables stay, as totals of another table than this.
    struct Merged {
        double total = 0;
        bool warned = false;
        std::size_t table = 0; // the table's number
    };
    TextMap<Merged> merged_;
    std::size_t mergedTable_ = 0; // the number of the table being read
    std::size_t mergedCount_ = 0; // the names of this table's totals
    NameSigns mergedSigns_;
    struct KeptLine {
        std::size_t itemAt, itemSize; // in keptItems_
        double p;
        std::int32_t picks;
        int number;
        bool afterDash;
    };
    std::vector<KeptLine> kept_;
    std::string keptItems_;
    std::size_t lines_ = 0;
    NameSigns proneBases_; // of the base items whose computations can fail
    // Per difficulty, rebuilt by checkDifficulty().
    TextMap<int> monsters_; // first-colon names, first line
    std::unordered_map<std::string, TableUses> tables_;
    std::vector<MonsterNameAt> candidates_;
    TextMap<MonsterLevels> levels_;
    std::vector<std::pair<const std::string, MonsterLevels>*> levelOrder_; // in the file's order
    // Each table and monster in the order of the monster lines, what the
    // searches of each base item have come to, and the monsters whose unique
    // monster and set monster searches have stopped.
    std::vector<std::pair<const Table*, std::size_t>> walkOrder_;
    WalkEnd walksEnd_ = kNoEnd;   // where a monster line ends every walk of the list
    WalkEnd setItemEnd_ = kNoEnd; // where the set item searches' walk ends
    WalkEnd uniqueItemEnd_ = kNoEnd;
    // A unique or set list line that does not convert: the unique monster and
    // set monster searches end after the first drop-table line they read.
    bool uniqueListEnds_ = false;
    bool setListEnds_ = false;
    std::unordered_map<const Base*, ItemWalk> itemWalks_;
    std::unordered_map<const Table*, std::map<MonsterKey, MonsterFailures>> monsterFailures_;
    TextSet uniqueMonsterStopped_;
    TextSet setMonsterStopped_;
};

} // namespace

CheckReport checkData(FileSource& files, const FolderListing& listing, char decimalSeparator) {
    return Checker(files, decimalSeparator).run(listing);
}

} // namespace qdc
