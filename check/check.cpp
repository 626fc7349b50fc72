#include "check/check.h"

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
#include "search/magicfind.h"
#include "search/searches.h"
#include "search/setchance.h"
#include "search/uniquechance.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
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

namespace {

// How far the chances of one pick may add up from 1 before a warning.
constexpr double kPickSumTolerance = 0.001;
// Monster names this long are offered by no ":" the monster search looks at.
constexpr std::size_t kLongName = 30;
// Levels within this bound never make a quality term 0: only a missing
// quality flag or a weight of 0 can then end a computation.
constexpr std::int32_t kTameLevel = 150;

std::string inQuotes(std::string_view text) {
    return '"' + shortened(text) + '"';
}

bool hasOuterBlanks(std::string_view name) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !name.empty() && (blank(name.front()) || blank(name.back()));
}

// Whether `bytes` hold non-ASCII text, and whether that text is UTF-8.
struct Encoding {
    bool nonAscii = false;
    bool utf8 = true;
};

Encoding encodingOf(std::string_view bytes) {
    Encoding found;
    // Most files are ASCII: a plain scan that the compiler widens.
    unsigned char any = 0;
    for (const char c : bytes)
        any |= static_cast<unsigned char>(c);
    if (any < 0x80)
        return found;
    std::size_t follow = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        found.nonAscii = found.nonAscii || byte >= 0x80;
        if (follow > 0) {
            found.utf8 = found.utf8 && (byte & 0xC0) == 0x80;
            --follow;
        } else if (byte >= 0xF8 || (byte >= 0x80 && byte < 0xC2)) {
            found.utf8 = false;
        } else if (byte >= 0xC2) {
            follow = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
        }
    }
    found.utf8 = found.utf8 && follow == 0;
    return found;
}

// A path with "." and ".." parts and doubled "/" resolved.
std::string normalPath(const std::string& path) {
    const bool plain = path.find("//") == std::string::npos &&
                       path.find("./") == std::string::npos && (path.empty() || path.back() != '.');
    return plain ? path : std::filesystem::path(path).lexically_normal().generic_string();
}

// Hashes and compares strings with views, so that a lookup copies nothing.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};
template <class Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;
using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;

// The problems sorted by path, then line, those at one place in the order
// they were found. Grouped by path first, so that a path is compared once
// per group, not once per problem.
std::vector<Problem> sortedByPlace(std::vector<Problem> problems) {
    std::unordered_map<std::string_view, std::vector<Problem*>> byPath;
    for (Problem& p : problems)
        byPath[p.path].push_back(&p);
    std::vector<std::pair<std::string_view, std::vector<Problem*>>> groups(
        std::make_move_iterator(byPath.begin()), std::make_move_iterator(byPath.end()));
    std::sort(groups.begin(), groups.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Problem> sorted;
    sorted.reserve(problems.size());
    for (auto& [path, group] : groups) {
        std::stable_sort(group.begin(), group.end(),
                         [](const Problem* a, const Problem* b) { return a->line < b->line; });
        for (Problem* p : group)
            sorted.push_back(std::move(*p));
    }
    return sorted;
}

// What the computations of the searches take of a base item: its uniques
// and set items, as each search reads them.
struct UniqueUse {
    int line = 0;
    std::int32_t level = 0;
    std::int32_t weight = 1;
    bool lastOfName = false; // the unique item search reads only that line of a name
};
struct SetUse {
    int line = 0;
    std::optional<std::int32_t> blockWeight; // with the level of its block (set monster search)
    std::int32_t blockLevel = 0;
    std::optional<std::int32_t> lastCharWeight; // the set item search's reading
};
struct BaseItem {
    std::vector<UniqueUse> uniques;
    std::vector<SetUse> sets;
    std::optional<bool> prone; // whether a flag or weight can fail a computation, once known
};

// What the searches take of one monster's level lines: the first line cut
// after the "," (unique searches) and by its last three characters (the set
// monster search), the last line by its last three (the set item search).
struct MonsterLevels {
    LevelRecord firstAfterComma, firstLastThree, lastLastThree;
    int firstLine = 0;
};

// A monster that reaches a drop table through the text before a monster
// line's first ":".
struct Dropper {
    std::string name;
    std::int32_t picks = 0;
    bool firstLineOfName = false; // the set monster search reads only that line
    MonsterLevels levels;
};

// A drop-table line whose item has uniques or set items that may fail a
// computation.
struct ProneLine {
    int line = 0;
    std::string item;
    double p = 0;
    bool afterDash = false;
};

// The monster lines that name one drop table.
struct TableUses {
    const std::string* path = nullptr;
    int firstLine = 0;           // the first line that names it
    std::int32_t firstPicks = 0; // its picks
    std::string firstMonster;    // the first monster that reaches it through a first ":"
    bool shared = false;         // a second such monster reaches it
    // Each monster that reaches it through a first ":", once (twice when a
    // later line of the name names it too).
    std::vector<Dropper> droppers;
    TextSet later; // the names of droppers from a later line of their name
    std::vector<ProneLine> prone;
};

// The monster search's entries of one drop table as it merges them: from
// the first "-" on, an entry adds up the chances of every line of its item
// so far. Reused from table to table.
class MergedTotals {
  public:
    MergedTotals() { lines_.reserve(kInARow); }
    void clear() {
        count_ = 0;
        armed_ = false;
        totals_.clear();
        over_.clear();
    }
    void dash() { armed_ = true; }
    // The item's total when a merge makes it pass 100 % the first time. The
    // item's text stays valid until the table's walk goes on.
    std::optional<double> add(std::string_view item, double p, std::int32_t picks);

  private:
    // Up to this many lines are kept and summed in a row; a longer table is
    // summed by item.
    static constexpr std::size_t kInARow = 64;
    // A line's chance is made only when a merge needs it.
    struct Line {
        std::string item;
        double p = 0;
        std::int32_t picks = 0;
        double chance() const { return monsterDropChance(item, p, picks); }
    };
    std::vector<Line> lines_; // the table's lines so far, `count_` of them
    std::size_t count_ = 0;
    bool armed_ = false;
    TextMap<double> totals_; // once there are more lines
    TextSet over_;
};

std::optional<double> MergedTotals::add(std::string_view item, double p, std::int32_t picks) {
    double total = 0;
    if (count_ < kInARow) {
        if (count_ == lines_.size())
            lines_.emplace_back();
        Line& line = lines_[count_++];
        line.item.assign(item);
        line.p = p;
        line.picks = picks;
        if (!armed_)
            return std::nullopt;
        for (std::size_t i = 0; i < count_; ++i)
            total += lines_[i].item == item ? lines_[i].chance() : 0;
    } else {
        if (totals_.empty())
            for (std::size_t i = 0; i < count_; ++i)
                totals_[lines_[i].item] += lines_[i].chance();
        count_ = kInARow + 1;
        auto found = totals_.find(item);
        if (found == totals_.end())
            found = totals_.emplace(std::string(item), 0).first;
        total = found->second += monsterDropChance(item, p, picks);
        if (!armed_)
            return std::nullopt;
    }
    if (total > 100 + kPickSumTolerance && over_.emplace(item).second)
        return total;
    return std::nullopt;
}

class Checker {
  public:
    Checker(FileSource& files, char decimalSeparator)
        : files_(files), separator_(decimalSeparator) {}
    CheckReport run(const FolderListing& listing);

  private:
    template <class NamedBy>
    std::shared_ptr<const FileLines> read(const std::string& path, NamedBy namedBy);
    template <class Visit> bool eachLine(const std::string& path, Visit visit);
    void add(const std::string& path, int line, Severity severity, std::string message);
    void warn(const std::string& path, int line, std::string message) {
        add(path, line, Severity::Warning, std::move(message));
    }
    void error(const DropError& e, const std::string& path, int line, const std::string& why);
    template <class Convert> bool converts(const std::string& path, int line, Convert convert);
    void checkName(TextMap<int>& seen, const std::string& what, std::string_view name,
                   const std::string& path, int line);
    void checkBaseItem(const std::string& base, const std::string& owner, const std::string& path,
                       int line);

    void checkItems();
    void checkUniques();
    void checkSets();
    void checkDifficulty(Difficulty d);
    void checkMonsterLine(Difficulty d, const std::string& listPath, std::string_view line,
                          int number);
    void emptyTableName(const std::string& folder, const std::string& listPath, int number,
                        std::string_view secondName);
    void checkLevels(Difficulty d);
    void checkTable(Difficulty d, const std::string& path, TableUses& uses);
    std::optional<double> checkDropLine(const std::string& path, int number, const DropStep& step,
                                        bool afterDash, TableUses& uses);
    void checkComputations(const TableUses& table, const Dropper& monster);
    void uniqueComputations(const ProneLine& at, const BaseItem& base, const Dropper& monster);
    void setComputations(const ProneLine& at, const BaseItem& base, const Dropper& monster);
    static char flagOf(const TextMap<char>& flags, const std::string& item);
    static std::string why(const std::string& item, std::int32_t divisor, std::int32_t weight);
    template <class Compute>
    void computes(const ProneLine& at, const std::string& why, std::string search, Compute compute);
    bool prone(std::string_view item, BaseItem& base);
    void foldIntoItemList();
    void checkEncodings();
    void checkUnnamed(const std::vector<std::string>& folderFiles);

    FileSource& files_;
    char separator_;
    std::vector<Problem> problems_;
    MergedTotals merged_;
    std::vector<Problem> followers_; // computation errors while itemlist.txt is missing
    std::vector<Problem>* sink_ = &problems_;
    int filesRead_ = 0;
    std::vector<std::pair<std::string, Encoding>> encodings_; // of the files not ASCII
    TextSet itemNames_;
    TextMap<char> flagByName_;    // the quality flag by the text before ","
    TextMap<char> flagByLineKey_; // by the line without its last two characters
    bool itemListRead_ = false;
    TextMap<BaseItem> bases_;
    std::vector<std::int32_t> setLevels_{0}; // the set levels the set item search can take
    bool tame_ = true;                       // every level within kTameLevel
    std::unordered_set<std::string> named_;  // every drop table a monster list names
    // Per difficulty: each table and monster in the order of the monster
    // lines, and the searches a computation has stopped.
    std::vector<std::pair<const TableUses*, std::size_t>> walkOrder_;
    std::unordered_set<std::string> stopped_;
    const std::string* tablePath_ = nullptr; // of the computations being made
    // Per difficulty, rebuilt by checkDifficulty().
    TextMap<int> monsters_;                             // first-colon names, first line
    std::unordered_map<std::string, TableUses> tables_; // by path
    TextMap<TableUses*> byName_;                        // by the name a monster line gives
    std::vector<MonsterNameAt> candidates_;
    TextMap<MonsterLevels> levels_;
};

// The file, or null when it cannot be opened; namedBy() says what names it.
template <class NamedBy>
std::shared_ptr<const FileLines> Checker::read(const std::string& path, NamedBy namedBy) {
    ++filesRead_;
    try {
        std::shared_ptr<const FileLines> file = files_.load(path);
        if (file->error)
            error(*file->error, path, 0, namedBy());
        if (const Encoding encoding = encodingOf(file->bytes); encoding.nonAscii)
            encodings_.emplace_back(path, encoding);
        return file;
    } catch (const DropError& e) {
        error(e, path, 0, namedBy());
        return nullptr;
    }
}

// Calls visit(line, number) for each line of the file; false when it cannot
// be opened. A read error partway was reported by read().
template <class Visit> bool Checker::eachLine(const std::string& path, Visit visit) {
    const auto file = read(path, [] { return std::string(); });
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

void Checker::add(const std::string& path, int line, Severity severity, std::string message) {
    sink_->push_back({path, line, severity, std::move(message)});
}

// Reports the error a search raises at the place: once for each message.
void Checker::error(const DropError& e, const std::string& path, int line, const std::string& why) {
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
    add(where.path, where.line, Severity::Error, std::move(message));
}

template <class Convert>
bool Checker::converts(const std::string& path, int line, Convert convert) {
    try {
        convert();
        return true;
    } catch (const DropError& e) {
        error(e, path, line, {});
        return false;
    }
}

void Checker::checkName(TextMap<int>& seen, const std::string& what, std::string_view name,
                        const std::string& path, int line) {
    if (hasOuterBlanks(name))
        warn(path, line, what + " name " + inQuotes(name) + " has leading or trailing blanks");
    const auto [at, fresh] = seen.emplace(name, line);
    if (!fresh)
        warn(path, line,
             what + " " + inQuotes(name) + " is listed twice (first at line " +
                 std::to_string(at->second) + ")");
}

void Checker::checkBaseItem(const std::string& base, const std::string& owner,
                            const std::string& path, int line) {
    if (itemListRead_ && !itemNames_.contains(base))
        warn(path, line,
             "base item " + inQuotes(base) + " of " + owner + " is not in " + kItemListPath);
}

void Checker::checkItems() {
    TextMap<int> seen;
    itemListRead_ = eachLine(kItemListPath, [&](std::string_view line, int number) {
        const ItemLine cut = cutItemLine(line);
        itemNames_.emplace(cut.name);
        if (cut.flag != '\0') {
            flagByName_[std::string(cut.name)] = cut.flag;
            flagByLineKey_[std::string(cut.lineKey)] = cut.flag;
        }
        if (line.empty()) {
            warn(kItemListPath, number, "blank line");
            return;
        }
        if (line.find(',') == std::string_view::npos) {
            warn(kItemListPath, number,
                 "line " + inQuotes(line) + " has no \",\": its item name is empty");
            return;
        }
        checkName(seen, "item", cut.name, kItemListPath, number);
        if (cut.flag == '\0' || line[line.size() - 2] != ',')
            warn(kItemListPath, number,
                 "item " + inQuotes(cut.name) +
                     " has no quality flag (\",0\" or \",1\" at the end)");
    });
}

void Checker::checkUniques() {
    TextMap<int> seen;
    TextMap<int> lastOfName;
    eachLine(kUniqueListPath, [&](std::string_view line, int number) {
        const UniqueFields fields = cutUniqueLine(line);
        UniqueUse use{number};
        if (converts(kUniqueListPath, number, [&] { use.level = fields.level(); }) &&
            converts(kUniqueListPath, number, [&] { use.weight = fields.weight(); })) {
            bases_[fields.baseItem].uniques.push_back(use);
        }
        lastOfName[fields.name] = number;
        tame_ = tame_ && std::abs(use.level) <= kTameLevel;
        checkName(seen, "unique", fields.name, kUniqueListPath, number);
        checkBaseItem(fields.baseItem, "unique " + inQuotes(fields.name), kUniqueListPath, number);
    });
    std::unordered_set<int> lastLines;
    for (const auto& [name, line] : lastOfName)
        lastLines.insert(line);
    for (auto& [name, base] : bases_)
        for (UniqueUse& use : base.uniques)
            use.lastOfName = lastLines.contains(use.line);
}

void Checker::checkSets() {
    std::vector<SetListLine> lines;
    TextSet baseSets;
    eachLine(kSetListPath, [&](std::string_view line, int) {
        lines.push_back(cutSetListLine(line));
        if (lines.back().header)
            baseSets.insert(lines.back().setKey);
    });
    TextMap<int> seenSets;
    TextMap<int> seenItems;
    std::int32_t blockLevel = 0;
    bool inBlock = false;
    // The set monster search reads the file up to its first line that does
    // not convert.
    bool indexed = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const SetListLine& line = lines[i];
        const int number = static_cast<int>(i) + 1;
        // The set item search takes the level of every line whose key is the
        // base set it is given, a header or not.
        std::optional<std::int32_t> level;
        if (baseSets.contains(line.setKey))
            converts(kSetListPath, number, [&] { level = line.setLevel(); });
        if (line.header) {
            inBlock = true;
            indexed = indexed && level.has_value();
            blockLevel = level.value_or(0);
            if (level)
                setLevels_.push_back(*level);
            tame_ = tame_ && std::abs(blockLevel) <= kTameLevel;
            checkName(seenSets, "base set", line.setKey, kSetListPath, number);
            continue;
        }
        if (!inBlock)
            warn(kSetListPath, number, "set item before the first base set");
        SetUse use;
        use.line = number;
        use.blockLevel = blockLevel;
        converts(kSetListPath, number, [&] { use.blockWeight = line.weight(); });
        indexed = indexed && use.blockWeight.has_value();
        if (!indexed)
            use.blockWeight.reset();
        converts(kSetListPath, number, [&] { use.lastCharWeight = line.lastCharWeight(); });
        if (use.blockWeight || use.lastCharWeight)
            bases_[line.baseItem].sets.push_back(use);
        checkName(seenItems, "set item", line.beforeComma, kSetListPath, number);
        checkBaseItem(line.baseItem, "set item " + inQuotes(line.beforeComma), kSetListPath,
                      number);
    }
}

void Checker::checkDifficulty(Difficulty d) {
    monsters_.clear();
    tables_.clear();
    byName_.clear();
    levels_.clear();
    walkOrder_.clear();
    stopped_.clear();
    const std::string listPath = monsterListPath(d);
    const std::string ownLevels = levelsPath(d);
    eachLine(listPath, [&](std::string_view line, int number) {
        checkMonsterLine(d, listPath, line, number);
    });
    checkLevels(d);
    for (auto& [path, uses] : tables_) {
        for (Dropper& dropper : uses.droppers) {
            const auto found = levels_.find(dropper.name);
            if (found != levels_.end())
                dropper.levels = found->second;
        }
        named_.insert(normalPath(path));
        // A drop table may be one of the difficulty's own files, read already.
        filesRead_ -= path == listPath || path == ownLevels ? 1 : 0;
        checkTable(d, path, uses);
    }
    // A search stops at the first computation that fails on its walk.
    for (const auto& [table, dropper] : walkOrder_)
        checkComputations(*table, table->droppers[dropper]);
}

// Each ":" that a search cuts the line at names a drop table: the first one
// for every search, those among the first 30 characters for the monster
// search.
void Checker::checkMonsterLine(Difficulty d, const std::string& listPath, std::string_view line,
                               int number) {
    const MonsterCandidate first = cutFirstColon(line);
    const bool fresh = !monsters_.contains(first.name);
    checkName(monsters_, "monster", first.name, listPath, number);
    if (first.name.size() >= kLongName)
        warn(listPath, number,
             "monster name " + inQuotes(first.name) +
                 " has 30 characters or more: the window does not offer it and the monster "
                 "search cannot find it");
    std::vector<MonsterNameAt>& candidates = candidates_;
    scanMonsterNames(line, candidates);
    if (candidates.empty() || candidates.front().name.size() != first.name.size())
        candidates.insert(candidates.begin(), {first.name, first.rest});
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const MonsterNameAt& candidate = candidates[i];
        std::int32_t picks = 0;
        if (!converts(listPath, number, [&] { picks = dropTablePicks(candidate.rest); }))
            continue;
        const std::string_view name = dropTableName(candidate.rest);
        if (name.empty()) {
            emptyTableName(dropTablePath(d, candidate.rest), listPath, number,
                           i == 0 ? std::string_view() : candidate.name);
            continue;
        }
        // Tables are found by the name the line gives, without a copy; two
        // names of one file ("a\\b.txt", "a/b.txt") share its uses.
        auto known = byName_.find(name);
        if (known == byName_.end()) {
            const auto [found, added] = tables_.try_emplace(dropTablePath(d, candidate.rest));
            if (added) {
                found->second.path = &found->first;
                found->second.firstLine = number;
                found->second.firstPicks = picks;
            }
            known = byName_.emplace(name, &found->second).first;
        }
        TableUses& uses = *known->second;
        if (i > 0)
            continue;
        if (uses.droppers.empty()) {
            uses.firstMonster = first.name;
        } else if (uses.shared || uses.firstMonster != first.name) {
            uses.shared = true;
            warn(listPath, number, "drop table " + inQuotes(name) + " is named by two monsters");
        }
        if (fresh || uses.later.insert(first.name).second) {
            walkOrder_.emplace_back(&uses, uses.droppers.size());
            uses.droppers.push_back({first.name, picks, fresh, {}});
        }
    }
}

// A monster line whose ":" leaves no drop-table name names the difficulty
// folder itself; the searches fail to open it. `secondName` is the name
// before a later ":", empty for the first.
void Checker::emptyTableName(const std::string& folder, const std::string& listPath, int number,
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

void Checker::checkLevels(Difficulty d) {
    const std::string path = levelsPath(d);
    const bool read = eachLine(path, [&](std::string_view line, int number) {
        const std::string_view name = levelLineName(line);
        auto at = levels_.find(name);
        const bool fresh = at == levels_.end();
        if (fresh)
            at = levels_.emplace(name, MonsterLevels{}).first;
        MonsterLevels& levels = at->second;
        if (fresh)
            levels.firstLine = number;
        else
            warn(path, number,
                 "monster " + inQuotes(name) + " has a level line already (line " +
                     std::to_string(levels.firstLine) + ")");
        // A search looks up the first line of a name when the name is typed
        // (never the empty one) or the monster list holds it, the later lines
        // of a listed name only.
        if (monsters_.contains(name) ? false : name.empty() || !fresh)
            return;
        if (converts(path, number,
                     [&] { levels.lastLastThree = parseLevelLine(line, ReductionCut::LastThree); }))
            tame_ = tame_ && std::abs(levels.lastLastThree.level) <= kTameLevel;
        if (!fresh)
            return;
        levels.firstLastThree = levels.lastLastThree;
        converts(path, number,
                 [&] { levels.firstAfterComma = parseLevelLine(line, ReductionCut::AfterComma); });
    });
    if (!read)
        return;
    for (const auto& [name, line] : monsters_)
        if (!name.empty() && !levels_.contains(name))
            warn(monsterListPath(d), line,
                 "monster " + inQuotes(name) + " has no level line in " + path);
}

void Checker::checkTable(Difficulty d, const std::string& path, TableUses& uses) {
    const auto file = read(path, [&] {
        return "named by " + monsterListPath(d) + ":" + std::to_string(uses.firstLine);
    });
    if (!file)
        return;
    // The chances of the first pick; a sum without a line that does not
    // convert would only mislead.
    double pickSum = 0;
    int pickLines = 0;
    bool firstPick = true;
    merged_.clear();
    // With the picks of the first line that names the table.
    std::int32_t picks = uses.firstPicks;
    bool afterDash = false;
    LineReader reader(file);
    std::string storage;
    std::string_view line;
    try {
        while (reader.next(line)) {
            const std::optional<DropStep> step = cutDropLine(line, separator_, storage, picks);
            if (!step) {
                picks = 1;
                afterDash = true;
                firstPick = false;
                merged_.dash();
                continue;
            }
            const std::optional<double> p =
                checkDropLine(path, reader.lineNumber(), *step, afterDash, uses);
            if (firstPick) {
                pickSum = p ? pickSum + *p : 1;
                pickLines += p ? 1 : 0;
                firstPick = p.has_value();
            }
        }
    } catch (const DropError&) {
    }
    if (pickLines > 0 && std::abs(pickSum - 1) > kPickSumTolerance)
        warn(path, 1,
             "the chances of one pick add up to " + generalNumberText(pickSum, '.') + ", not 1");
}

// The chance of one drop-table line other than "-", or nothing when it does
// not convert.
std::optional<double> Checker::checkDropLine(const std::string& path, int number,
                                             const DropStep& step, bool afterDash,
                                             TableUses& uses) {
    double p = 0;
    if (!converts(path, number, [&] { p = toFloatView(step.chance, separator_); }))
        return std::nullopt;
    if (p < 0 || p > 1)
        warn(path, number, "chance " + inQuotes(step.chance) + " is outside 0..1");
    const auto base = bases_.find(step.item);
    if (base != bases_.end() && prone(base->first, base->second))
        uses.prone.push_back({number, base->first, p, afterDash});
    if (const std::optional<double> total = merged_.add(step.item, p, step.picks))
        warn(path, number,
             "item " + inQuotes(step.item) + " adds up to " + generalNumberText(*total, '.') +
                 " % in this drop table once merged");
    return p;
}

// Whether a computation with `item` can fail: without a quality flag, with a
// set weight of 0, or with levels far enough apart to make a quality term 0.
bool Checker::prone(std::string_view item, BaseItem& base) {
    if (!base.prone) {
        const auto zero = [](const SetUse& s) {
            return s.blockWeight == 0 || s.lastCharWeight == 0;
        };
        base.prone = !flagByName_.contains(item) || !flagByLineKey_.contains(item) ||
                     std::any_of(base.sets.begin(), base.sets.end(), zero);
    }
    return !tame_ || *base.prone;
}

// Makes one computation of `search` unless that search stopped already.
template <class Compute>
void Checker::computes(const ProneLine& at, const std::string& why, std::string search,
                       Compute compute) {
    if (stopped_.contains(search))
        return;
    try {
        compute();
    } catch (const DropError& e) {
        stopped_.insert(std::move(search));
        sink_ = itemListRead_ ? &problems_ : &followers_;
        error(e, *tablePath_, at.line, why);
        sink_ = &problems_;
    }
}

// The computations the searches make, with magic find 0, for the lines of
// one drop table that `monster` reaches.
void Checker::checkComputations(const TableUses& table, const Dropper& monster) {
    tablePath_ = table.path;
    for (const ProneLine& at : table.prone) {
        const BaseItem& base = bases_.find(at.item)->second;
        uniqueComputations(at, base, monster);
        setComputations(at, base, monster);
    }
}

char Checker::flagOf(const TextMap<char>& flags, const std::string& item) {
    const auto found = flags.find(item);
    return found == flags.end() ? '\0' : found->second;
}

// Why a computation with this divisor and weight fails, when they say.
std::string Checker::why(const std::string& item, std::int32_t divisor, std::int32_t weight) {
    return divisor == 0  ? "base item " + inQuotes(item) + " has no quality flag"
           : weight == 0 ? "a set item of " + inQuotes(item) + " has a weight of 0"
                         : std::string();
}

// The unique item search of each unique, the unique monster search of the
// monster.
void Checker::uniqueComputations(const ProneLine& at, const BaseItem& base,
                                 const Dropper& monster) {
    const LevelRecord& level = monster.levels.firstAfterComma;
    UniqueChanceInput unique;
    unique.p = at.p;
    unique.picks = 1;
    unique.monsterLevel = level.level;
    unique.qualityReduction = at.afterDash ? 0 : level.reduction;
    unique.realMagicFind = realUniqueMagicFind(0);
    unique.baseItem = at.item;
    const UniqueQuality byLineKey = uniqueQuality(flagOf(flagByLineKey_, at.item));
    const UniqueQuality byName = uniqueQuality(flagOf(flagByName_, at.item));
    for (const UniqueUse& use : base.uniques) {
        if (use.level > unique.monsterLevel)
            continue;
        unique.uniqueLevel = use.level;
        unique.uniqueWeight = use.weight;
        unique.quality = byLineKey;
        if (use.lastOfName)
            computes(at, why(at.item, byLineKey.divisor, 1), "unique " + std::to_string(use.line),
                     [&] { uniqueDropChance(unique, UniqueChanceForm::ItemSearch); });
        unique.quality = byName;
        computes(at, why(at.item, byName.divisor, 1), "unique monster " + monster.name,
                 [&] { uniqueDropChance(unique, UniqueChanceForm::MonsterSearch); });
    }
}

// The set monster search of the monster, the set item search of each set
// item at each set level.
void Checker::setComputations(const ProneLine& at, const BaseItem& base, const Dropper& monster) {
    const MonsterLevels& levels = monster.levels;
    SetChanceInput set;
    set.p = at.p;
    set.picks = 1;
    set.realMagicFind = realSetMagicFind(0);
    set.baseItem = at.item;
    set.monsterName = monster.name;
    const SetQuality quality = setQualityFor(flagOf(flagByName_, at.item));
    set.ratio = quality.ratio;
    set.divisor = quality.divisor;
    for (const SetUse& use : base.sets) {
        set.monsterLevel = levels.firstLastThree.level;
        set.reduction = at.afterDash ? 0 : levels.firstLastThree.reduction;
        set.setLevel = use.blockLevel;
        if (use.blockWeight && monster.firstLineOfName && set.monsterLevel >= set.setLevel) {
            set.setWeight = *use.blockWeight;
            computes(at, why(at.item, set.divisor, set.setWeight), "set monster " + monster.name,
                     [&] { setDropChance(set, SetChanceForm::MonsterSearch); });
        }
        if (!use.lastCharWeight)
            continue;
        set.monsterLevel = levels.lastLastThree.level;
        set.reduction = at.afterDash ? 0 : levels.lastLastThree.reduction;
        set.setWeight = *use.lastCharWeight;
        for (const std::int32_t setLevel : setLevels_) {
            set.setLevel = setLevel;
            if (set.monsterLevel >= setLevel)
                computes(at, why(at.item, set.divisor, set.setWeight),
                         "set item " + std::to_string(use.line) + " " + std::to_string(setLevel),
                         [&] { setDropChance(set, SetChanceForm::ItemSearch); });
        }
    }
}

// Without itemlist.txt every search that needs a quality flag stops at it:
// the computation errors its absence makes are counted, not listed.
void Checker::foldIntoItemList() {
    if (followers_.empty())
        return;
    for (Problem& p : problems_)
        if (p.path == kItemListPath && p.line == 0 && p.severity == Severity::Error) {
            p.follows = static_cast<int>(followers_.size());
            p.message += " (" + std::to_string(p.follows) + " search errors follow from this)";
            return;
        }
}

// A file whose names are not UTF-8 in a folder whose other names are shows
// them wrongly.
void Checker::checkEncodings() {
    const bool utf8 = std::any_of(encodings_.begin(), encodings_.end(), [](const auto& file) {
        return file.second.nonAscii && file.second.utf8;
    });
    if (!utf8)
        return;
    for (const auto& [path, encoding] : encodings_)
        if (!encoding.utf8)
            warn(path, 0,
                 "this file is not UTF-8 while other files of the folder are: its names will "
                 "show wrongly");
}

void Checker::checkUnnamed(const std::vector<std::string>& folderFiles) {
    for (const std::string& file : folderFiles) {
        const std::string path = normalPath(file);
        const std::string_view leaf = std::string_view(path).substr(path.rfind('/') + 1);
        const bool own = path.find('/') == path.rfind('/') &&
                         (leaf == "monsterlist.txt" || leaf == "levels.txt");
        if (!own && !named_.contains(path))
            warn(path, 0, "no monster list names this file");
    }
}

CheckReport Checker::run(const FolderListing& listing) {
    if (listing.folderFault) {
        error(listing.problems.front(), {}, 0, {});
        return {std::move(problems_), 0};
    }
    checkItems();
    checkUniques();
    checkSets();
    for (const Difficulty d : kAllDifficulties)
        checkDifficulty(d);
    foldIntoItemList();
    checkEncodings();
    checkUnnamed(listing.files);
    // A drop table that a monster list names was reported when it was read.
    for (const DropError& e : listing.problems)
        if (!named_.contains(e.location()->path))
            error(e, {}, 0, {});
    return {sortedByPlace(std::move(problems_)), filesRead_};
}

} // namespace

CheckReport checkData(FileSource& files, const FolderListing& listing, char decimalSeparator) {
    return Checker(files, decimalSeparator).run(listing);
}

} // namespace qdc
