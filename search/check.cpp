#include "search/check.h"

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
#include "search/setchance.h"

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

// A file's lines, cut as the searches cut them.
struct CheckedLines {
    std::vector<std::string> lines;
};
using Lines = std::shared_ptr<const CheckedLines>;

// How many characters of a monster line the monster search looks at for a ":".
constexpr std::size_t kScan = 30;
// How far the chances of one pick may add up from 1 before a warning.
constexpr double kPickSumTolerance = 0.001;
// Names quoted in messages are cut to this many bytes.
std::string inQuotes(std::string_view text) {
    std::string quote(1, '"');
    quote += shortened(text);
    quote += '"';
    return quote;
}

// Whether `convert` runs without a data error.
template <class Convert> bool quietly(Convert convert) {
    try {
        convert();
        return true;
    } catch (const DropError&) {
        return false;
    }
}

// The path with "." and ".." parts and doubled "/" resolved; most paths
// have none and are taken as they are.
bool isPlainPath(const std::string& path) {
    return path.find("//") == std::string::npos && path.find("./") == std::string::npos &&
           (path.empty() || path.back() != '.');
}

std::string normalPath(const std::string& path) {
    if (isPlainPath(path))
        return path;
    return std::filesystem::path(path).lexically_normal().generic_string();
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

// The next line of `reader`, or false at the end. The file's read error, if
// any, ends the walk: it was reported when the file was loaded.
bool nextLine(LineReader& reader, std::string_view& line) {
    try {
        return reader.next(line);
    } catch (const DropError&) {
        return false;
    }
}

bool hasOuterBlanks(const std::string& name) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !name.empty() && (blank(name.front()) || blank(name.back()));
}

// What the searches take of one monster's level lines.
struct MonsterLevels {
    std::int32_t firstAfterComma = 0; // unique searches
    std::int32_t firstLastThree = 0;  // the set monster search
    std::int32_t lastLastThree = 0;   // the set item search
};

// What the set searches take of a set item line.
struct SetFacts {
    std::int32_t setLevel = 0;
    std::optional<std::int32_t> weightAfterComma; // the set monster search
    std::optional<std::int32_t> weightLastChar;   // the set item search
};

// What the computations of the searches take of a base item.
struct BaseItem {
    std::optional<std::int32_t> lowestUnique;
    std::vector<SetFacts> sets;
    bool flagged = false;       // by the text before "," (most searches)
    bool flaggedByLine = false; // by the line without its last two characters
};

// A monster whose level the computations take.
struct Dropper {
    std::string name;
    MonsterLevels levels;
};

// A monster line that names a drop table. Only the text before the line's
// first ":" is a monster of every search; the other candidates serve the
// monster search alone.
struct TableUse {
    int line = 0;
    std::string monster;
    bool firstColon = false;
};

// The problems sorted by path, then line, those at one place in the order
// they were found. Pointers are sorted, so that each problem moves once.
std::vector<Problem> sortedByPlace(std::vector<Problem> problems) {
    std::vector<Problem*> order;
    order.reserve(problems.size());
    for (Problem& p : problems)
        order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const Problem* a, const Problem* b) {
        const int byPath = a->path.compare(b->path);
        return byPath != 0 ? byPath < 0 : a->line < b->line;
    });
    std::vector<Problem> sorted;
    sorted.reserve(problems.size());
    for (Problem* p : order)
        sorted.push_back(std::move(*p));
    return sorted;
}

class Checker {
  public:
    Checker(FileSource& files, char decimalSeparator)
        : files_(files), separator_(decimalSeparator) {}
    CheckReport run(const FolderListing& listing);

  private:
    Lines load(const std::string& path);
    template <class Suffix>
    std::shared_ptr<const FileLines> read(const std::string& path, Suffix namedBy);
    void add(const std::string& path, int line, Severity severity, const std::string& message) {
        problems_.push_back({path, line, severity, message});
    }
    void warn(const std::string& path, int line, const std::string& message) {
        add(path, line, Severity::Warning, message);
    }
    void report(const DropError& e, const std::string& path, int line, const std::string& suffix);
    template <class Convert> bool converts(const std::string& path, int line, Convert convert);
    void checkName(TextMap<int>& seen, const std::string& what, const std::string& name,
                   const std::string& path, int line);
    void checkBaseItem(const std::string& base, const std::string& owner, const std::string& path,
                       int line);

    void checkItems();
    void checkUniques();
    void checkSets();
    void checkSetItemLine(const std::string& line, int number, std::int32_t setLevel,
                          const std::unordered_set<std::string>& baseSets);
    void checkDifficulty(Difficulty d);
    void readMonsterLine(Difficulty d, const std::string& listPath, const std::string& line,
                         int number);
    void useTable(Difficulty d, const std::string& listPath, int number,
                  const MonsterNameAt& candidate, bool firstColon, const std::string& firstName);
    void checkLevels(Difficulty d);
    void readLevelLine(const std::string& path, const std::string& line, int number, bool first,
                       MonsterLevels& levels);
    void checkTable(Difficulty d, const std::string& path, const std::vector<TableUse>& uses);
    std::optional<double> checkDropLine(const std::string& path, std::string_view line, int number,
                                        const std::vector<Dropper>& monsters);
    void checkComputation(const std::string& path, int line, std::string_view item,
                          const std::vector<Dropper>& droppers);
    std::vector<Dropper> droppers(const std::vector<TableUse>& uses) const;
    void flagBases();
    void checkUnnamed(const std::vector<std::string>& folderFiles);

    FileSource& files_;
    char separator_;
    std::vector<Problem> problems_;
    std::string scratch_; // a drop-table line with its full stops made separators
    int files_read_ = 0;  // each path is loaded once
    std::unordered_set<std::string> itemNames_;
    std::unordered_set<std::string> flagByName_; // items with a flag, by the text before ","
    std::unordered_set<std::string> flagByLine_; // by the line without its last two characters
    TextMap<BaseItem> bases_;                    // of uniques and set items
    TextMap<int> setItems_;
    std::unordered_set<std::string> named_; // every drop table a monster list names
    // Per difficulty, rebuilt by checkDifficulty().
    TextMap<int> monsters_; // first-colon names, first line
    std::unordered_map<std::string, std::vector<TableUse>> tables_;
    TextMap<MonsterLevels> levels_;
};

// The file, or null when it cannot be opened; `namedBy()` gives the text that
// follows a message about the file as a whole.
template <class Suffix>
std::shared_ptr<const FileLines> Checker::read(const std::string& path, Suffix namedBy) {
    ++files_read_;
    try {
        std::shared_ptr<const FileLines> file = files_.load(path);
        if (file->error)
            report(*file->error, path, 0, namedBy());
        return file;
    } catch (const DropError& e) {
        report(e, path, 0, namedBy());
        return nullptr;
    }
}

Lines Checker::load(const std::string& path) {
    const auto file = read(path, [] { return std::string(); });
    if (!file)
        return nullptr;
    return std::make_shared<const CheckedLines>(CheckedLines{splitLines(file->bytes)});
}

void Checker::report(const DropError& e, const std::string& path, int line,
                     const std::string& suffix) {
    const ErrorLocation where = e.location().value_or(ErrorLocation{path, line, {}});
    std::string message = boxMessage(e.message());
    if (!e.detail().empty())
        message += " (" + e.detail() + ")";
    add(where.path, where.line, Severity::Error, message + suffix);
}

template <class Convert>
bool Checker::converts(const std::string& path, int line, Convert convert) {
    try {
        convert();
        return true;
    } catch (const DropError& e) {
        report(e, path, line, {});
        return false;
    }
}

void Checker::checkName(TextMap<int>& seen, const std::string& what, const std::string& name,
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
    if (!itemNames_.contains(base))
        warn(path, line,
             "base item " + inQuotes(base) + " of " + owner + " is not in " + kItemListPath);
}

void Checker::checkItems() {
    const Lines file = load(kItemListPath);
    if (!file)
        return;
    TextMap<int> seen;
    for (std::size_t i = 0; i < file->lines.size(); ++i) {
        const std::string& line = file->lines[i];
        const int number = static_cast<int>(i) + 1;
        const std::string name = textBeforeComma(line);
        itemNames_.insert(name);
        const bool flagged = line.size() >= 2 && line[line.size() - 2] == ',' &&
                             (line.back() == '0' || line.back() == '1');
        if (!line.empty() && (line.back() == '0' || line.back() == '1')) {
            flagByName_.insert(name);
            flagByLine_.insert(line.substr(0, line.size() - 2));
        }
        if (line.empty()) {
            warn(kItemListPath, number, "blank line");
            continue;
        }
        if (line.find(',') == std::string::npos) {
            warn(kItemListPath, number,
                 "line " + inQuotes(line) + " has no \",\": its item name is empty");
            continue;
        }
        checkName(seen, "item", name, kItemListPath, number);
        if (!flagged)
            warn(kItemListPath, number,
                 "item " + inQuotes(name) + " has no quality flag (\",0\" or \",1\" at the end)");
    }
}

void Checker::checkUniques() {
    const Lines file = load(kUniqueListPath);
    if (!file)
        return;
    TextMap<int> seen;
    for (std::size_t i = 0; i < file->lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const UniqueFields fields = cutUniqueLine(file->lines[i]);
        std::int32_t level = 0;
        bool fine = converts(kUniqueListPath, number, [&] { level = toInt(fields.levelText); });
        if (fine && hasUniqueWeight(fields.baseItem))
            fine = converts(kUniqueListPath, number, [&] { toInt(fields.weightText); });
        if (fine) {
            auto& lowest = bases_[fields.baseItem].lowestUnique;
            lowest = std::min(lowest.value_or(level), level);
        }
        checkName(seen, "unique", fields.name, kUniqueListPath, number);
        checkBaseItem(fields.baseItem, "unique " + inQuotes(fields.name), kUniqueListPath, number);
    }
}

void Checker::checkSets() {
    const Lines file = load(kSetListPath);
    if (!file)
        return;
    std::unordered_set<std::string> baseSets;
    for (const std::string& line : file->lines)
        if (isBaseSetHeader(line))
            baseSets.insert(baseSetName(line));
    TextMap<int> seenSets;
    std::int32_t setLevel = 0;
    bool inBlock = false;
    for (std::size_t i = 0; i < file->lines.size(); ++i) {
        const std::string& line = file->lines[i];
        const int number = static_cast<int>(i) + 1;
        if (isBaseSetHeader(line)) {
            inBlock = true;
            setLevel = 0;
            converts(kSetListPath, number, [&] { setLevel = toInt(textAfterComma(line)); });
            checkName(seenSets, "base set", baseSetName(line), kSetListPath, number);
            continue;
        }
        if (!inBlock)
            warn(kSetListPath, number, "set item before the first base set");
        checkSetItemLine(line, number, setLevel, baseSets);
    }
}

void Checker::checkSetItemLine(const std::string& line, int number, std::int32_t setLevel,
                               const std::unordered_set<std::string>& baseSets) {
    const std::string name = textBeforeComma(line);
    const std::string rest = textAfterComma(line);
    const std::size_t second = rest.find(',');
    const std::string base = second == std::string::npos ? rest : rest.substr(0, second);
    const std::string weight =
        second == std::string::npos ? std::string() : rest.substr(second + 1);
    // The set monster search reads the weight after the second ","; the set
    // item search its last character, and the level of a line whose text from
    // the second character to the first "," is a base set name.
    const std::size_t comma = line.find(',');
    const std::string setKey =
        comma == std::string::npos || comma < 1 ? std::string() : line.substr(1, comma - 1);
    // Each search takes the set item with the weight it can convert.
    SetFacts facts{setLevel, std::nullopt, std::nullopt};
    if (converts(kSetListPath, number, [&] { facts.weightAfterComma = toInt(weight); }))
        converts(kSetListPath, number, [&] {
            facts.weightLastChar =
                toInt(line.empty() ? std::string() : line.substr(line.size() - 1));
        });
    else
        quietly([&] {
            facts.weightLastChar =
                toInt(line.empty() ? std::string() : line.substr(line.size() - 1));
        });
    if (baseSets.contains(setKey))
        converts(kSetListPath, number, [&] { toInt(textAfterComma(line)); });
    if (facts.weightAfterComma || facts.weightLastChar)
        bases_[base].sets.push_back(facts);
    checkName(setItems_, "set item", name, kSetListPath, number);
    checkBaseItem(base, "set item " + inQuotes(name), kSetListPath, number);
}

// Keeps only the base items whose computations can fail: those without a
// quality flag and those with a set item of weight 0. Most data have none,
// and the drop tables are then read without a lookup that finds something.
void Checker::flagBases() {
    const auto zeroWeight = [](const SetFacts& f) {
        return f.weightAfterComma == 0 || f.weightLastChar == 0;
    };
    for (auto it = bases_.begin(); it != bases_.end();) {
        BaseItem& base = it->second;
        base.flagged = flagByName_.contains(it->first);
        base.flaggedByLine = flagByLine_.contains(it->first);
        const bool prone = !base.flagged || (base.lowestUnique && !base.flaggedByLine) ||
                           std::any_of(base.sets.begin(), base.sets.end(), zeroWeight);
        it = prone ? std::next(it) : bases_.erase(it);
    }
}

void Checker::checkDifficulty(Difficulty d) {
    monsters_.clear();
    tables_.clear();
    levels_.clear();
    const std::string listPath = monsterListPath(d);
    const std::string ownLevels = levelsPath(d);
    if (const Lines file = load(listPath)) {
        monsters_.reserve(file->lines.size());
        tables_.reserve(file->lines.size());
        for (std::size_t i = 0; i < file->lines.size(); ++i)
            readMonsterLine(d, listPath, file->lines[i], static_cast<int>(i) + 1);
    }
    checkLevels(d);
    named_.reserve(named_.size() + tables_.size());
    for (const auto& [path, uses] : tables_) {
        named_.insert(normalPath(path));
        // A drop table may be one of the difficulty's own files, read already.
        files_read_ -= path == listPath || path == ownLevels ? 1 : 0;
        checkTable(d, path, uses);
    }
}

void Checker::readMonsterLine(Difficulty d, const std::string& listPath, const std::string& line,
                              int number) {
    const MonsterCandidate first = cutFirstColon(line);
    checkName(monsters_, "monster", first.name, listPath, number);
    useTable(d, listPath, number, {first.name, first.rest}, true, first.name);
    // The searches over many monsters cut at the first ":"; the monster search
    // tries every ":" among the first 30 characters, the first one among them.
    const auto scanned = line.begin() + static_cast<std::ptrdiff_t>(std::min(line.size(), kScan));
    if (std::count(line.begin(), scanned, ':') < 2)
        return;
    const std::vector<MonsterNameAt> candidates = scanMonsterNames(line);
    for (std::size_t i = 1; i < candidates.size(); ++i)
        useTable(d, listPath, number, candidates[i], false, first.name);
}

// Notes that the monster line `number` names a drop table through `candidate`;
// `firstName` is the line's text before its first ":".
void Checker::useTable(Difficulty d, const std::string& listPath, int number,
                       const MonsterNameAt& candidate, bool firstColon,
                       const std::string& firstName) {
    DropTableRef ref;
    if (!converts(listPath, number, [&] { ref = dropTableRef(d, candidate.rest); }))
        return;
    std::vector<TableUse>& uses = tables_[ref.path];
    const bool shared = std::any_of(uses.begin(), uses.end(), [&](const TableUse& use) {
        return use.firstColon && use.monster != firstName;
    });
    uses.push_back({number, std::string(candidate.name), firstColon});
    if (firstColon && shared)
        warn(listPath, number,
             "drop table " + inQuotes(candidate.rest.substr(0, candidate.rest.size() - 2)) +
                 " is named by two monsters");
}

// Each cut converts on its own: one that fails leaves the level of the other
// to the searches that use it. Only a monster's first line is cut after the
// ",".
void Checker::readLevelLine(const std::string& path, const std::string& line, int number,
                            bool first, MonsterLevels& levels) {
    const bool lastFine = quietly(
        [&] { levels.lastLastThree = parseLevelLine(line, ReductionCut::LastThree).level; });
    const bool firstFine = !first || quietly([&] {
        levels.firstAfterComma = parseLevelLine(line, ReductionCut::AfterComma).level;
    });
    if (first)
        levels.firstLastThree = levels.lastLastThree;
    if (!lastFine || !firstFine)
        converts(path, number, [&] {
            parseLevelLine(line, ReductionCut::LastThree);
            parseLevelLine(line, ReductionCut::AfterComma);
        });
}

// The lines of one name in a levels file: its first, and any after it.
struct NameLines {
    std::size_t first = 0;
    std::vector<std::size_t> more;
};
// Names are views into the file's lines.
using LevelLines = std::unordered_map<std::string_view, NameLines>;

LevelLines levelLinesByName(const std::vector<std::string>& lines) {
    LevelLines byName;
    byName.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::size_t colon = line.find(':');
        const std::string_view name =
            colon == std::string_view::npos ? std::string_view() : line.substr(0, colon);
        const auto [at, fresh] = byName.try_emplace(name, NameLines{i, {}});
        if (!fresh)
            at->second.more.push_back(i);
    }
    return byName;
}

void Checker::checkLevels(Difficulty d) {
    const std::string path = levelsPath(d);
    const Lines file = load(path);
    const LevelLines byName = file ? levelLinesByName(file->lines) : LevelLines();
    for (const auto& [name, lines] : byName) {
        const bool listed = monsters_.contains(name);
        // A search looks a name up when it is typed (never the empty one) or
        // when the monster list holds it.
        if (!listed && name.empty())
            continue;
        MonsterLevels& levels = levels_.try_emplace(std::string(name)).first->second;
        readLevelLine(path, file->lines[lines.first], static_cast<int>(lines.first) + 1, true,
                      levels);
        for (const std::size_t other : lines.more) {
            const int number = static_cast<int>(other) + 1;
            warn(path, number,
                 "monster " + inQuotes(name) + " has a level line already (line " +
                     std::to_string(lines.first + 1) + ")");
            if (listed)
                readLevelLine(path, file->lines[other], number, false, levels);
        }
    }
    if (!file)
        return;
    for (const auto& [name, line] : monsters_)
        if (!name.empty() && !byName.contains(name))
            warn(monsterListPath(d), line,
                 "monster " + inQuotes(name) + " has no level line in " + path);
}

// Why a search that meets `item` in a drop table of `monster` ends with a
// floating-point error: a base item without a quality flag gives its uniques
// and set items a divisor of 0, and so does a set item whose weight total is
// 0. Only items that the monster's level lets drop are computed. The error
// is reported at the drop table's line.
std::optional<std::string> computationFault(const BaseItem& base, const std::string& item,
                                            const Dropper& monster) {
    const MonsterLevels& levels = monster.levels;
    if (base.lowestUnique && *base.lowestUnique <= levels.firstAfterComma &&
        (!base.flagged || !base.flaggedByLine))
        return "base item " + inQuotes(item) + " has no quality flag";
    for (const SetFacts& f : base.sets) {
        const bool monsterSearch = f.weightAfterComma && f.setLevel <= levels.firstLastThree;
        const bool itemSearch = f.weightLastChar && f.setLevel <= levels.lastLastThree;
        if ((monsterSearch || itemSearch) && !base.flagged)
            return "base item " + inQuotes(item) + " has no quality flag";
        if ((monsterSearch &&
             setWeightTotal(item, levels.firstLastThree, monster.name, *f.weightAfterComma) == 0) ||
            (itemSearch &&
             setWeightTotal(item, levels.lastLastThree, monster.name, *f.weightLastChar) == 0))
            return "a set item of " + inQuotes(item) + " has a weight of 0";
    }
    return std::nullopt;
}

void Checker::checkComputation(const std::string& path, int line, std::string_view item,
                               const std::vector<Dropper>& droppers) {
    if (droppers.empty())
        return;
    const auto base = bases_.find(item);
    if (base == bases_.end())
        return;
    for (const Dropper& monster : droppers) {
        if (const auto fault = computationFault(base->second, base->first, monster)) {
            add(path, line, Severity::Error,
                "a search ends here with a floating-point error: " + *fault);
            return;
        }
    }
}

std::vector<Dropper> Checker::droppers(const std::vector<TableUse>& uses) const {
    std::vector<Dropper> found;
    for (const TableUse& use : uses) {
        if (!use.firstColon)
            continue;
        const auto levels = levels_.find(use.monster);
        found.push_back({use.monster, levels == levels_.end() ? MonsterLevels{} : levels->second});
    }
    return found;
}

// The chance of one drop-table line other than "-", or none when it does not
// convert.
std::optional<double> Checker::checkDropLine(const std::string& path, std::string_view line,
                                             int number, const std::vector<Dropper>& monsters) {
    const DropStep drop = dropStep(separated(line, separator_, scratch_), 0);
    double p = 0;
    if (!converts(path, number, [&] { p = toFloatView(drop.chance, separator_); }))
        return std::nullopt;
    if (p < 0 || p > 1)
        warn(path, number, "chance " + inQuotes(drop.chance) + " is outside 0..1");
    checkComputation(path, number, drop.item, monsters);
    return p;
}

void Checker::checkTable(Difficulty d, const std::string& path, const std::vector<TableUse>& uses) {
    const auto file = read(path, [&] {
        return " (named by " + monsterListPath(d) + ":" + std::to_string(uses.front().line) + ")";
    });
    if (!file)
        return;
    const std::vector<Dropper> monsters = bases_.empty() ? std::vector<Dropper>() : droppers(uses);
    double pickSum = 0;
    int pickLines = 0;
    bool firstPick = true;
    LineReader reader(file);
    std::string_view line;
    while (nextLine(reader, line)) {
        const std::optional<double> p =
            line == "-" ? std::nullopt : checkDropLine(path, line, reader.lineNumber(), monsters);
        if (firstPick && line != "-") {
            // A sum without a line that does not convert would only mislead.
            pickSum = p ? pickSum + *p : 1;
            pickLines += p ? 1 : 0;
        }
        firstPick = firstPick && p.has_value();
    }
    if (pickLines > 0 && std::abs(pickSum - 1) > kPickSumTolerance)
        warn(path, 1,
             "the chances of one pick add up to " + generalNumberText(pickSum, '.') + ", not 1");
}

void Checker::checkUnnamed(const std::vector<std::string>& folderFiles) {
    std::string normal;
    for (const std::string& file : folderFiles) {
        const std::string& path = isPlainPath(file) ? file : (normal = normalPath(file));
        const std::string_view leaf = std::string_view(path).substr(path.rfind('/') + 1);
        const bool own = path.find('/') == path.rfind('/') &&
                         (leaf == "monsterlist.txt" || leaf == "levels.txt");
        if (!own && !named_.contains(path))
            warn(path, 0, "no monster list names this file");
    }
}

CheckReport Checker::run(const FolderListing& listing) {
    if (listing.folderFault) {
        report(listing.problems.front(), {}, 0, {});
        return {std::move(problems_), 0};
    }
    checkItems();
    checkUniques();
    checkSets();
    flagBases();
    for (const Difficulty d : kAllDifficulties)
        checkDifficulty(d);
    checkUnnamed(listing.files);
    // A drop table that a monster list names was reported when it was read.
    for (const DropError& e : listing.problems)
        if (!named_.contains(e.location()->path))
            report(e, {}, 0, {});
    return {sortedByPlace(std::move(problems_)), files_read_};
}

} // namespace

CheckReport checkData(FileSource& files, const FolderListing& listing, char decimalSeparator) {
    return Checker(files, decimalSeparator).run(listing);
}

} // namespace qdc
