#include "check/check.h"
#include "check/namesets.h"
#include "check/searchstops.h"

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

using stops::Base;
using stops::Dropper;
using stops::Failure;
using stops::inQuotes;
using stops::kReadings;
using stops::ListUses;
using stops::ListWalk;
using stops::MonsterLevels;
using stops::SearchStops;
using stops::SetUse;
using stops::Table;
using stops::TableUses;
using stops::WalkEnd;

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
            std::optional<DropError> failed;
            std::shared_ptr<const FileLines> file =
                lists_.keeping() ? lists_.load(path)
                                 : files_.loadReusingOrNull(path, spare_, failed);
            if (!file) {
                error(*failed, path, 0, namedBy());
                return nullptr;
            }
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
        const std::string& wherePath = e.location() ? e.location()->path : path;
        const int whereLine = e.location() ? e.location()->line : line;
        std::string message = boxMessage(e.message());
        if (!e.detail().empty())
            message += " (" + e.detail() + ")";
        if (!why.empty())
            message += " (" + why + ")";
        // Problems at one place are found one after the other.
        for (auto p = sink_->rbegin(); p != sink_->rend(); ++p) {
            if (p->line != whereLine || p->path != wherePath)
                break;
            if (p->message == message)
                return;
        }
        sink_->push_back({wherePath, whereLine, Severity::Error, std::move(message)});
    }

    // The sink of a reader the searches share: each error of a line is
    // reported at that line, and the reader goes on.
    class Collector final : public ErrorSink {
      public:
        explicit Collector(Checker& checker) : checker_(checker) {}
        Collector(Checker& checker, const std::string& path) : checker_(checker), path_(&path) {}
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
            stops_.flagOf({}, key);
        lists_.setKeeping(false);
        lists_.release(kItemListPath);
    }

    void checkUniques() {
        TextMap<int> seen;
        TextMap<int> lastOfName;
        eachLine(kUniqueListPath, [&](std::string_view line, int number) {
            const UniqueFields fields = cutUniqueLine(line);
            Noting sink(collected(kUniqueListPath, number));
            const std::uint32_t at = uses_.uniques.add(fields, number, sink);
            uses_.uniqueListEnds = uses_.uniqueListEnds || sink.noted;
            if (at != UniqueIndex::kEnd) {
                UniqueIndex::Unique& unique = uses_.uniques.unique(at);
                uses_.meet(unique.level);
                converts(kUniqueListPath, number, [&] { unique.weight = fields.weight(); });
                uses_.bases[fields.baseItem].uniques = uses_.uniques.groupOf(fields.baseItem);
            }
            lastOfName[fields.name] = number;
            know(fields.baseItem);
            checkName(seen, "unique", fields.name, kUniqueListPath, number);
            checkBaseItem(fields.baseItem, "unique " + inQuotes(fields.name), kUniqueListPath,
                          number);
        });
        for (const auto& [name, line] : lastOfName)
            uses_.lastUniqueLines.insert(line);
    }

    const SetItemRecord* addToBlocks(SetItemIndex& blocks, const SetListLine& line, int number) {
        Noting sink(collected(kSetListPath, number));
        const SetItemRecord* record = blocks.add(line, sink);
        uses_.setListEnds = uses_.setListEnds || sink.noted;
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
        std::unordered_set<std::int32_t> levelsSeen(uses_.setLevels.begin(), uses_.setLevels.end());
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
                    uses_.setLevels.push_back(*level);
                uses_.meet(level.value_or(0));
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
                uses_.bases[line.baseItem].sets.push_back(use);
            know(line.baseItem);
            checkName(seenItems, "set item", line.beforeComma, kSetListPath, number);
            checkBaseItem(line.baseItem, "set item " + inQuotes(line.beforeComma), kSetListPath,
                          number);
        }
    }

    void checkDifficulty(Difficulty d) {
        monsters_.clear();
        walk_ = {};
        levels_.clear();
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
        stops_.startDifficulty();
        std::string storage; // a path's normal form, when it is not its own
        for (auto& [path, uses] : walk_.tables) {
            for (Dropper& dropper : uses.droppers)
                if (const auto found = levels_.find(dropper.name); found != levels_.end())
                    dropper.levels = found->second;
            named_.insert(normalPath(path, storage));
            // A drop table may be one of the difficulty's own files, read already.
            filesRead_ -= path == listPath || path == ownLevels ? 1 : 0;
            if (!checkTable(path, uses, listPath))
                walk_.end = std::min(walk_.end, WalkEnd{uses.firstWalk, 0});
            else if (nameKey_)
                opened_.push_back({normalPath(path), listPath, uses.firstLine});
        }
        stops_.walk(walk_);
        if (listRead) {
            listedMonsters_[static_cast<std::size_t>(d)] = std::move(monsters_);
            monsters_.reserve(listedMonsters_[static_cast<std::size_t>(d)]->size());
        }
    }

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
        const MonsterNameAt first = firstColonCut(line);
        const bool fresh = checkName(monsters_, "monster", first.name, listPath, number);
        if (first.name.size() >= kMonsterNameLimit)
            warn(listPath, number,
                 "monster name " + inQuotes(first.name) +
                     " has 30 characters or more: the window does not offer it and the monster "
                     "search cannot find it");
        scanMonsterNames(line, candidates_);
        if (candidates_.empty() || candidates_.front().name.size() != first.name.size())
            candidates_.insert(candidates_.begin(), first);
        for (std::size_t i = 0; i < candidates_.size(); ++i) {
            const MonsterNameAt& candidate = candidates_[i];
            const std::optional<std::int32_t> picks =
                tablePicks(d, listPath, number, candidate, i == 0);
            if (!picks)
                continue;
            const std::string_view name = dropTableName(candidate.rest);
            // Tables are found by their path: two names of one file
            // ("a\\b.txt", "a/b.txt") share its uses.
            dropTablePath(d, candidate.rest, tablePath_);
            auto table = walk_.tables.find(tablePath_);
            if (table == walk_.tables.end()) {
                table = walk_.tables.try_emplace(tablePath_).first;
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
            if (fresh ||
                (!uses.later.contains(first.name) && uses.later.emplace(first.name).second)) {
                uses.firstWalk = std::min(uses.firstWalk, walk_.order.size());
                walk_.order.emplace_back(&*table, uses.droppers.size());
                uses.droppers.push_back({std::string(first.name), fresh, {}});
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
            walk_.end = std::min(walk_.end, WalkEnd{walk_.order.size(), 0});
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
                    uses_.meet(level->first->level);
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
            if (const auto base = uses_.bases.find(step.item);
                base != uses_.bases.end() && base->second.uniques &&
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
        if (const Base* base = stops_.proneItem(step.item);
            base && uses.proneItems[afterDash ? 1 : 0].insert(base).second)
            uses.prone.push_back({number, base, p, afterDash});
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
    bool itemListRead_ = false;
    // What the searches' computations take of the lists, and where the
    // searches stop; its flag lookups' errors are told at itemlist.txt.
    ListUses uses_{files_};
    Collector flagErrors_{*this, kItemListPath};
    SearchStops stops_{uses_, lists_, flagErrors_,
                       [this](const std::string& path, int line, const Failure& failure) {
                           report(path, line, failure);
                       }};
    TextPool named_; // every drop table a monster list names
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
    // Per difficulty, rebuilt by checkDifficulty().
    TextMap<int> monsters_; // first-colon names, first line
    ListWalk walk_;
    std::vector<MonsterNameAt> candidates_;
    std::string tablePath_; // the path of the drop table a monster line names
    TextMap<MonsterLevels> levels_;
    std::vector<std::pair<const std::string, MonsterLevels>*> levelOrder_; // in the file's order
};

} // namespace

CheckReport checkData(FileSource& files, const FolderListing& listing, char decimalSeparator) {
    return Checker(files, decimalSeparator).run(listing);
}

} // namespace qdc
