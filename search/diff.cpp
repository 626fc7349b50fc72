#include "search/diff.h"

#include "data/monsterlist.h"

#include <algorithm>
#include <cmath>
#include <map>
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
template <class Work> void onSide(DiffSide side, Work work) {
    try {
        work();
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

} // namespace

FolderDiff diffFolders(FileSource& before, FileSource& after, char decimalSeparator, SortMode mode,
                       const std::string& magicFind, DifficultySet difficulties) {
    FolderDiff diff;
    const SearchEnv oldEnv{before, decimalSeparator, mode};
    const SearchEnv newEnv{after, decimalSeparator, mode};
    MemoryResultList oldList;
    MemoryResultList newList;
    for (const Difficulty d : kAllDifficulties) {
        if (!difficulties.has(d))
            continue;
        SearchRequest request;
        request.difficulties = {.normal = d == Difficulty::Normal,
                                .nightmare = d == Difficulty::Nightmare,
                                .hell = d == Difficulty::Hell};
        request.magicFind = magicFind;
        for (const std::string& monster : monstersOf(before, after, d)) {
            ++diff.monsters;
            request.names = {monster};
            for (const SearchKind* search : monsterSearches()) {
                onSide(DiffSide::Old, [&] { search->run(oldEnv, oldList, request); });
                onSide(DiffSide::New, [&] { search->run(newEnv, newList, request); });
                std::vector<DiffRow> rows = diffEntries(oldList.allParts(), newList.allParts());
                std::size_t vanished = 0;
                for (DiffRow& row : rows) {
                    row.search = std::string(search->command);
                    row.monster = monster;
                    diff.appeared += row.kind == DiffKind::Appeared ? 1 : 0;
                    diff.changed += row.kind == DiffKind::Changed ? 1 : 0;
                    vanished += row.kind == DiffKind::Vanished ? 1 : 0;
                }
                diff.vanished += vanished;
                diff.entries += newList.allParts().size() + vanished;
                diff.rows.insert(diff.rows.end(), std::make_move_iterator(rows.begin()),
                                 std::make_move_iterator(rows.end()));
            }
        }
    }
    std::stable_sort(diff.rows.begin(), diff.rows.end(),
                     [](const DiffRow& a, const DiffRow& b) { return a.change() > b.change(); });
    return diff;
}

} // namespace qdc
