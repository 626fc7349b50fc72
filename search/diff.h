#pragma once

#include "results/error.h"
#include "results/resultlist.h"
#include "search/catalogue.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qdc {

// What an edit of the data did to one entry of an answer.
enum class DiffKind { Appeared, Vanished, Changed };

// One side of a changed entry: its chance as listed, what that reads back
// as, and its odds.
struct DiffChance {
    std::string text;
    std::optional<double> value;
    Odds odds;
};

// An entry that appeared, vanished or changed between the answers of the
// old and the new data. An entry is known by its name without the
// difficulty suffix and its difficulty; a name listed twice at one
// difficulty pairs its first old entry with its first new one, and so on.
struct DiffRow {
    DiffKind kind = DiffKind::Changed;
    std::string search;  // the search's command ("unique-monster"); empty for one search's answer
    std::string monster; // the monster searched, beside `search`
    std::string name;
    std::string difficulty;
    std::optional<DiffChance> before; // none when it appeared
    std::optional<DiffChance> after;  // none when it vanished

    // |new - old| of the chances as numbers, a side without an entry or a
    // number taken as 0.
    double change() const;
};

// The entries of `after` that are not in `before` or whose chance text
// differs, in the order of `after`, then those of `before` that are not in
// `after`, in their order. Entries alike on both sides give no row.
std::vector<DiffRow> diffEntries(const std::vector<EntryParts>& before,
                                 const std::vector<EntryParts>& after);

// A row as a player reads it: "+ Ring [Hell]  0.125 % (1 in 800)" for an
// entry that appeared ("-" for one that vanished), "~ Ring [Normal]  0.125 %
// → 0.25 %  (1 in 800 → 1 in 400)" for one that changed; a row of a
// monster's searches starts "~ Rat [Normal] unique-monster: Band of Ash".
std::string diffRowText(const DiffRow& row);

// Which data folder a row or an error is about.
enum class DiffSide { Old, New };

// A data error met in one of the two folders; the search that met it stops
// the comparison.
struct DiffError {
    DiffSide side;
    DropError error;
};

// What comparing every monster's searches gives: the rows, largest change
// first, and what was compared.
struct FolderDiff {
    std::vector<DiffRow> rows;
    std::size_t monsters = 0; // monster and difficulty pairs
    std::size_t searched = 0; // searches run on both folders
    std::size_t alike = 0;    // searches not run: they read alike files on both sides
    std::size_t entries = 0;  // entries of either side of those run, each pair counted once
    std::size_t appeared = 0;
    std::size_t vanished = 0;
    std::size_t changed = 0;
};

// The searches compared for every monster, in the order they run.
const std::vector<const SearchKind*>& monsterSearches();

// Runs each of monsterSearches() for every monster of the monster list of
// each of `difficulties` in either folder (the names the monster box offers, the old
// folder's first) on both folders, and compares the answers, with the magic
// find the unique and set searches read. A search that would read alike
// data on both sides is not run, as its answers are alike: drop tables of
// the same bytes for the same monster lines (whatever their names), the
// monster's first level line, and alike entries of the item, unique and set
// lists for the items its tables give. So a data error that the edit did not
// touch is not met. A data error of either folder is raised as a DiffError.
// With `everySearch`, the searches of alike data run too: what the shortcut
// is tested against. The searches of each folder parse its lists once
// between them.
FolderDiff diffFolders(FileSource& oldFolder, FileSource& newFolder, char decimalSeparator,
                       SortMode mode, const std::string& magicFind, DifficultySet difficulties,
                       bool everySearch = false);

} // namespace qdc
