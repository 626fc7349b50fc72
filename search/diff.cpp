#include "search/diff.h"

#include "data/droptable.h"
#include "data/itemlist.h"
#include "data/levels.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace qdc {

namespace {

DiffChance chanceOf(const EntryParts& parts) {
    return {parts.chance, parts.value, parts.odds};
}

DiffRow rowFor(DiffKind kind, const EntryParts& parts) {
    DiffRow row;
    row.kind = kind;
    row.name = std::string(parts.plainName());
    row.difficulty = parts.difficulty;
    return row;
}

bool alike(const EntryParts& a, const EntryParts& b) {
    return a.plainName() == b.plainName() && a.difficulty == b.difficulty && a.chance == b.chance;
}

double valueOf(const std::optional<DiffChance>& side) {
    return side && side->value && std::isfinite(*side->value) ? *side->value : 0.0;
}

} // namespace

double DiffRow::change() const {
    return std::fabs(valueOf(after) - valueOf(before));
}

std::vector<DiffRow> diffEntries(const std::vector<EntryParts>& before,
                                 const std::vector<EntryParts>& after) {
    std::vector<DiffRow> rows;
    // Most answers do not change at all.
    if (std::equal(before.begin(), before.end(), after.begin(), after.end(), alike))
        return rows;
    using Key = std::pair<std::string_view, std::string_view>;
    // The old entries of each key not yet paired, first first.
    std::map<Key, std::vector<std::size_t>> unpaired;
    for (std::size_t i = before.size(); i-- > 0;)
        unpaired[{before[i].plainName(), before[i].difficulty}].push_back(i);
    std::vector<bool> paired(before.size(), false);
    for (const EntryParts& entry : after) {
        const auto found = unpaired.find({entry.plainName(), entry.difficulty});
        if (found == unpaired.end() || found->second.empty()) {
            DiffRow row = rowFor(DiffKind::Appeared, entry);
            row.after = chanceOf(entry);
            rows.push_back(std::move(row));
            continue;
        }
        const std::size_t old = found->second.back();
        found->second.pop_back();
        paired[old] = true;
        if (before[old].chance == entry.chance)
            continue;
        DiffRow row = rowFor(DiffKind::Changed, entry);
        row.before = chanceOf(before[old]);
        row.after = chanceOf(entry);
        rows.push_back(std::move(row));
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (paired[i])
            continue;
        DiffRow row = rowFor(DiffKind::Vanished, before[i]);
        row.before = chanceOf(before[i]);
        rows.push_back(std::move(row));
    }
    return rows;
}

const std::vector<const SearchKind*>& monsterSearches() {
    static const std::vector<const SearchKind*> searches = {
        findSearch("monster"), findSearch("unique-monster"), findSearch("set-monster")};
    return searches;
}

namespace {

// Runs `work` on one side, its data errors raised as that side's.
template <class Work> decltype(auto) onSide(DiffSide side, Work work) {
    try {
        return work();
    } catch (const DropError& e) {
        throw DiffError{side, e};
    }
}

// The monster names of one difficulty in either folder, the old folder's
// first, each once.
std::vector<std::string> monstersOf(FileSource& before, FileSource& after, Difficulty d) {
    std::vector<std::string> names;
    onSide(DiffSide::Old, [&] { readMonsterNames(before, names, d); });
    std::vector<std::string> added;
    onSide(DiffSide::New, [&] { readMonsterNames(after, added, d); });
    names.insert(names.end(), std::make_move_iterator(added.begin()),
                 std::make_move_iterator(added.end()));
    std::unordered_set<std::string> seen;
    std::erase_if(names, [&](const std::string& name) { return !seen.insert(name).second; });
    return names;
}

// A file as a search meets it: its bytes and how reading it ended, or the
// error opening it.
struct Met {
    std::shared_ptr<const FileLines> file;
    std::optional<DropError> error;
};

Met meet(FileSource& files, const std::string& path) {
    try {
        return {files.read(path), std::nullopt};
    } catch (const DropError& e) {
        return {nullptr, e};
    }
}

bool sameError(const std::optional<DropError>& a, const std::optional<DropError>& b) {
    return a.has_value() == b.has_value() &&
           (!a || (a->message() == b->message() && a->detail() == b->detail()));
}

bool alikeFiles(const Met& a, const Met& b) {
    if (a.file == nullptr || b.file == nullptr)
        return a.file == b.file && sameError(a.error, b.error);
    return (a.file == b.file || a.file->bytes == b.file->bytes) &&
           sameError(a.file->error, b.file->error);
}

// Calls visit(line) for each line of `file` that a search reads; a file that
// could not be read to its end is told apart by its error.
template <class Visit>
void forEachLineRead(const std::shared_ptr<const FileLines>& file, Visit visit) {
    LineReader reader(file);
    std::string_view line;
    const auto next = [&] {
        try {
            return reader.next(line);
        } catch (const DropError&) {
            return false;
        }
    };
    while (next())
        visit(line);
}

// A difficulty's levels.txt as the monster searches read it: the first
// level line of each name.
struct LevelLines {
    Met file;
    std::unordered_map<std::string, std::string> first;
};

LevelLines levelLines(FileSource& files, Difficulty d) {
    LevelLines levels;
    levels.file = meet(files, levelsPath(d));
    if (levels.file.file != nullptr)
        forEachLineRead(levels.file.file, [&](std::string_view line) {
            levels.first.try_emplace(std::string(levelLineName(line)), line);
        });
    return levels;
}

// A monster-list line that may name a monster: cut at one of its first 30
// characters' ":" (what the monster search looks at), at its first ":" (what
// the other monster searches look at), or both.
struct MonsterUse {
    bool scanned = false;
    bool firstColon = false;
    std::string rest;
};

// The lines of one difficulty's monster list, by the names they may give.
struct MonsterLines {
    Met list;
    std::unordered_map<std::string, std::vector<MonsterUse>> uses;
};

MonsterLines monsterLines(FileSource& files, Difficulty d) {
    MonsterLines lines;
    lines.list = meet(files, monsterListPath(d));
    if (lines.list.file == nullptr)
        return lines; // every search of the difficulty meets the error
    std::vector<MonsterNameAt> candidates;
    forEachLineRead(lines.list.file, [&](std::string_view line) {
        scanMonsterNames(line, candidates);
        for (const MonsterNameAt& c : candidates)
            lines.uses[std::string(c.name)].push_back({true, false, std::string(c.rest)});
        const MonsterCandidate first = cutFirstColon(line);
        std::vector<MonsterUse>& uses = lines.uses[first.name];
        const bool scanned =
            std::any_of(candidates.begin(), candidates.end(),
                        [&](const MonsterNameAt& c) { return c.name == first.name; });
        if (scanned)
            uses.back().firstColon = true;
        else
            uses.push_back({false, true, first.rest});
    });
    return lines;
}

// An error as a search would tell it: its words and where it came from.
std::string errorText(const std::optional<DropError>& error) {
    if (!error)
        return {};
    std::string text = "!" + error->message() + "\n" + error->detail();
    if (const auto& where = error->location())
        text += "\n" + where->path + ":" + std::to_string(where->line) + ":" + where->text;
    return text;
}

// What `lookup` gives, or the error it raises.
template <class Lookup> std::string outcomeText(Lookup lookup) {
    try {
        return lookup();
    } catch (const DropError& e) {
        return errorText(e);
    }
}

// The keys under which a list that the searches look up by item name gives
// something else in the new folder, or none when the list as a whole does
// (it cannot be opened, or reading it ends otherwise). `keys(line, add)`
// offers every key a line may be looked up by; `told(files, key)` is what a
// lookup gives, as text.
template <class Keys, class Told>
std::optional<std::vector<std::string>> changedKeys(FileSource& before, FileSource& after,
                                                    const std::string& path, Keys keys, Told told) {
    const Met a = meet(before, path);
    const Met b = meet(after, path);
    if (alikeFiles(a, b))
        return std::vector<std::string>{};
    // A key no line offers tells how reading the list ends, which every
    // search that looks anything up in it meets.
    const std::string none = "\n";
    if (a.file == nullptr || b.file == nullptr || told(before, none) != told(after, none))
        return std::nullopt;
    std::unordered_set<std::string> offered;
    for (const Met* met : {&a, &b})
        forEachLineRead(met->file, [&](std::string_view line) {
            keys(line, [&](std::string_view key) { offered.emplace(key); });
        });
    std::vector<std::string> changed;
    for (const std::string& key : offered)
        if (told(before, key) != told(after, key))
            changed.push_back(key);
    return changed;
}

// The lists the monster searches look up the items of their drop tables in,
// and which of their keys the edit changed.
struct ListChanges {
    std::optional<std::vector<std::string>> uniques; // unilist.txt, by base item
    std::optional<std::vector<std::string>> sets;    // setlist.txt, by base item
    std::optional<std::vector<std::string>> flags;   // itemlist.txt, by item
};

ListChanges listChanges(FileSource& before, FileSource& after) {
    ListChanges changes;
    // Each side's index of the list, made once.
    std::unordered_map<FileSource*, std::unique_ptr<UniqueIndex>> uniqueIndexes;
    changes.uniques = changedKeys(
        before, after, kUniqueListPath,
        [](std::string_view line, auto add) { add(cutUniqueLine(line).baseItem); },
        [&](FileSource& files, const std::string& key) {
            auto& index = uniqueIndexes[&files];
            if (!index)
                index =
                    std::make_unique<UniqueIndex>(files, std::numeric_limits<std::int32_t>::max());
            return outcomeText([&] {
                std::string text;
                for (auto at = index->groupOf(key) ? index->groupOf(key)->first : UniqueIndex::kEnd;
                     at != UniqueIndex::kEnd;) {
                    const UniqueIndex::Unique& u = index->unique(at);
                    text += u.name + "\n" + std::to_string(u.level) + "\n" + u.weightText + "\n";
                    at = u.next;
                }
                index->raiseWalkEnd();
                return text;
            });
        });
    std::unordered_map<FileSource*, std::unique_ptr<SetItemIndex>> setIndexes;
    changes.sets = changedKeys(
        before, after, kSetListPath,
        [](std::string_view line, auto add) {
            // Any text between two commas may be a line's base item.
            for (std::size_t begin = 0; begin <= line.size();) {
                const std::size_t end = std::min(line.find(',', begin), line.size());
                add(line.substr(begin, end - begin));
                begin = end + 1;
            }
        },
        [&](FileSource& files, const std::string& key) {
            auto& index = setIndexes[&files];
            if (!index)
                index = std::make_unique<SetItemIndex>(files);
            return outcomeText([&] {
                std::string text;
                for (const SetItemRecord& r : index->recordsOf(key))
                    text += r.name + "\n" + r.baseItem + "\n" + std::to_string(r.setWeight) + "\n" +
                            std::to_string(r.setLevel) + "\n";
                index->raiseWalkEnd();
                return text;
            });
        });
    std::unordered_map<FileSource*, std::unique_ptr<QualityFlags>> flagIndexes;
    changes.flags = changedKeys(
        before, after, kItemListPath,
        [](std::string_view line, auto add) { add(cutItemLine(line).name); },
        [&](FileSource& files, const std::string& key) {
            auto& flags = flagIndexes[&files];
            if (!flags)
                flags = std::make_unique<QualityFlags>(files, ItemKey::BeforeComma);
            return outcomeText([&] { return std::string(1, flags->lookup(key)); });
        });
    return changes;
}

// The items the lines of a drop table give, as the walks cut them.
std::unordered_set<std::string> tableItems(const std::shared_ptr<const FileLines>& table,
                                           char decimalSeparator) {
    std::unordered_set<std::string> items;
    std::string storage;
    forEachLineRead(table, [&](std::string_view line) {
        if (const auto step = cutDropLine(line, decimalSeparator, storage, 1))
            items.emplace(step->item);
    });
    return items;
}

// The data the monster searches of one difficulty read on both sides, told
// apart file by file: a monster whose searches would read alike files in
// both folders gives alike answers, and is not searched.
class AlikeInputs {
  public:
    AlikeInputs(FileSource& before, FileSource& after, Difficulty d, const ListChanges& lists,
                char decimalSeparator)
        : before_(before), after_(after), difficulty_(d), separator_(decimalSeparator),
          lists_(lists), oldLines_(monsterLines(before, d)), newLines_(monsterLines(after, d)),
          oldLevels_(levelLines(before, d)), newLevels_(levelLines(after, d)) {
        listsAlike_ = sameError(oldLines_.list.error, newLines_.list.error) &&
                      (oldLines_.list.file == nullptr ||
                       (newLines_.list.file != nullptr &&
                        sameError(oldLines_.list.file->error, newLines_.list.file->error)));
    }

    // Whether `search` of `monster` reads alike data on both sides: the same
    // drop tables (by their bytes, whatever their names) for the same monster
    // lines, the monster's first level line, and alike entries of the lists
    // it looks the tables' items up in.
    bool alike(const SearchKind& search, const std::string& monster) {
        tables_.clear();
        if (!listsAlike_ || !linesAlike(monster))
            return false;
        if (search.command == "unique-monster")
            return levelAlike(monster) && !names(lists_.uniques) && !names(lists_.flags);
        if (search.command == "set-monster")
            return levelAlike(monster) && !names(lists_.sets) && !names(lists_.flags);
        return search.command == "monster";
    }

  private:
    // Whether a line of the monster's drop tables gives one of `keys`.
    bool names(const std::optional<std::vector<std::string>>& keys) {
        if (!keys)
            return true;
        if (keys->empty())
            return false;
        for (const auto& table : tables_) {
            if (table == nullptr)
                continue;
            auto found = items_.find(table.get());
            if (found == items_.end())
                found = items_.emplace(table.get(), tableItems(table, separator_)).first;
            for (const std::string& key : *keys)
                if (found->second.contains(key))
                    return true;
        }
        return false;
    }
    // The first level line of the monster, or how reading the file ended
    // without one.
    bool levelAlike(const std::string& monster) const {
        const Met& a = oldLevels_.file;
        const Met& b = newLevels_.file;
        if (a.file == nullptr || b.file == nullptr)
            return alikeFiles(a, b);
        const auto oldLine = oldLevels_.first.find(monster);
        const auto newLine = newLevels_.first.find(monster);
        const bool oldFound = oldLine != oldLevels_.first.end();
        const bool newFound = newLine != newLevels_.first.end();
        if (oldFound || newFound)
            return oldFound && newFound && oldLine->second == newLine->second;
        return sameError(a.file->error, b.file->error);
    }

    bool linesAlike(const std::string& monster) {
        static const std::vector<MonsterUse> none;
        const auto oldFound = oldLines_.uses.find(monster);
        const auto newFound = newLines_.uses.find(monster);
        const auto& oldUses = oldFound == oldLines_.uses.end() ? none : oldFound->second;
        const auto& newUses = newFound == newLines_.uses.end() ? none : newFound->second;
        if (oldUses.size() != newUses.size())
            return false;
        for (std::size_t i = 0; i < oldUses.size(); ++i) {
            const MonsterUse& a = oldUses[i];
            const MonsterUse& b = newUses[i];
            if (a.scanned != b.scanned || a.firstColon != b.firstColon)
                return false;
            if (a.rest == b.rest && a.rest.size() < 2)
                continue;
            // The picks digit and the table's bytes; the separator before the
            // digit is not read.
            if (a.rest.size() < 2 || b.rest.size() < 2 || a.rest.back() != b.rest.back())
                return false;
            const Met table = meet(before_, dropTablePath(difficulty_, a.rest));
            if (!alikeFiles(table, meet(after_, dropTablePath(difficulty_, b.rest))))
                return false;
            tables_.push_back(table.file);
        }
        return true;
    }

    FileSource& before_;
    FileSource& after_;
    Difficulty difficulty_;
    char separator_;
    const ListChanges& lists_;
    MonsterLines oldLines_;
    MonsterLines newLines_;
    LevelLines oldLevels_;
    LevelLines newLevels_;
    bool listsAlike_ = false;
    // The old side's drop tables of the monster last asked about.
    std::vector<std::shared_ptr<const FileLines>> tables_;
    // The items of each table asked about, by its file.
    std::unordered_map<const FileLines*, std::unordered_set<std::string>> items_;
};

} // namespace

namespace {

// Runs `search` of one monster on both sides and adds what changed to `diff`.
void compareOne(FolderDiff& diff, const SearchKind& search, const SearchEnv (&envs)[2],
                const SearchRequest& request) {
    MemoryResultList lists[2];
    onSide(DiffSide::Old, [&] { return search.run(envs[0], lists[0], request); });
    onSide(DiffSide::New, [&] { return search.run(envs[1], lists[1], request); });
    std::vector<DiffRow> rows = diffEntries(lists[0].allParts(), lists[1].allParts());
    std::size_t vanished = 0;
    for (DiffRow& row : rows) {
        row.search = std::string(search.command);
        row.monster = request.names.at(0);
        diff.appeared += row.kind == DiffKind::Appeared ? 1 : 0;
        diff.changed += row.kind == DiffKind::Changed ? 1 : 0;
        vanished += row.kind == DiffKind::Vanished ? 1 : 0;
    }
    diff.vanished += vanished;
    diff.entries += lists[1].allParts().size() + vanished;
    diff.rows.insert(diff.rows.end(), std::make_move_iterator(rows.begin()),
                     std::make_move_iterator(rows.end()));
}

} // namespace

FolderDiff diffFolders(FileSource& oldFolder, FileSource& newFolder, char decimalSeparator,
                       SortMode mode, const std::string& magicFind, DifficultySet difficulties,
                       bool everySearch) {
    // The searches of each folder parse its lists once between them.
    SharedParsingSource before(oldFolder);
    SharedParsingSource after(newFolder);
    FolderDiff diff;
    const SearchEnv envs[2] = {{before, decimalSeparator, mode}, {after, decimalSeparator, mode}};
    const ListChanges lists = listChanges(before, after);
    for (const Difficulty d : kAllDifficulties) {
        if (!difficulties.has(d))
            continue;
        SearchRequest request;
        request.difficulties = {.normal = d == Difficulty::Normal,
                                .nightmare = d == Difficulty::Nightmare,
                                .hell = d == Difficulty::Hell};
        request.magicFind = magicFind;
        const std::vector<std::string> monsters = monstersOf(before, after, d);
        AlikeInputs inputs(before, after, d, lists, decimalSeparator);
        for (const std::string& monster : monsters) {
            ++diff.monsters;
            request.names = {monster};
            for (const SearchKind* search : monsterSearches()) {
                const bool alike = !everySearch && inputs.alike(*search, monster);
                diff.alike += alike ? 1 : 0;
                diff.searched += alike ? 0 : 1;
                if (!alike)
                    compareOne(diff, *search, envs, request);
            }
        }
    }
    std::stable_sort(diff.rows.begin(), diff.rows.end(),
                     [](const DiffRow& a, const DiffRow& b) { return a.change() > b.change(); });
    return diff;
}

namespace {

std::string percent(const DiffChance& chance) {
    return chance.text + " %";
}

std::string oneIn(const DiffChance& chance) {
    return chance.odds.oneIn ? "1 in " + std::to_string(*chance.odds.oneIn) : "-";
}

} // namespace

std::string diffRowText(const DiffRow& row) {
    std::string text(1, row.kind == DiffKind::Appeared   ? '+'
                        : row.kind == DiffKind::Vanished ? '-'
                                                         : '~');
    text += ' ';
    if (!row.search.empty()) {
        text += row.monster + " [" + row.difficulty + "] " + row.search + ": " + row.name;
    } else {
        text += row.name;
        if (!row.difficulty.empty())
            text += " [" + row.difficulty + ']';
    }
    text += "  ";
    if (row.kind == DiffKind::Changed)
        return text + percent(*row.before) + " \u2192 " + percent(*row.after) + "  (" +
               oneIn(*row.before) + " \u2192 " + oneIn(*row.after) + ")";
    const DiffChance& chance = row.after ? *row.after : *row.before;
    text += percent(chance);
    if (chance.odds.oneIn)
        text += " (1 in " + std::to_string(*chance.odds.oneIn) + ')';
    return text;
}

} // namespace qdc
