#pragma once

#include "data/difficulty.h"
#include "data/filesource.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qdc {

// The monster search looks for a ":" among this many first characters of a
// monster line: the names it offers are shorter.
inline constexpr std::size_t kMonsterNameLimit = 30;

// A monster name offered by a ":" among the first 30 characters of a monster
// line; `rest` is the text after that ":".
struct MonsterCandidate {
    std::string name;
    std::string rest;
    ErrorLocation where; // the monster-list line, when the walk that cut it knows it
};

// A candidate as views into its line: a line of any length costs no copy.
struct MonsterNameAt {
    std::string_view name;
    std::string_view rest;
};

// Every candidate of the line, in order: each ":" at positions 1 to 30 gives
// the text before it.
std::vector<MonsterNameAt> scanMonsterNames(std::string_view line);
// The same into `out`, reusing its storage.
void scanMonsterNames(std::string_view line, std::vector<MonsterNameAt>& out);

// The line cut at its first ":" wherever it stands. A line without ":" gives
// the empty name and the whole line as its rest.
MonsterCandidate cutFirstColon(std::string_view line);
// The same into `out`, reusing its storage.
void cutFirstColon(std::string_view line, MonsterCandidate& out);

struct DropTableRef {
    std::int32_t picks = 0;
    std::string path;      // relative to the data directory
    ErrorLocation namedBy; // the monster-list line (line 0 when unknown)
};

// The picks digit (the rest's last character, converted) and the drop table
// (the rest without its last two characters, inside the difficulty folder),
// named by the line at `namedBy`.
DropTableRef dropTableRef(Difficulty d, std::string_view rest, ErrorLocation namedBy = {});
// Its two parts: the picks, and the drop table's name as the rest gives it.
std::int32_t dropTablePicks(std::string_view rest);
std::string_view dropTableName(std::string_view rest);

// The drop table a monster line's rest names, inside the difficulty folder:
// the rest without its last two characters. Nothing is converted.
std::string dropTablePath(Difficulty d, std::string_view rest);

// Which monster lines of one monster list name a drop table that another
// line names too, so that a table is kept only while a later line may walk it
// again. Told of the lines in their order.
class DropTableUses {
  public:
    // Reads every line of the list first; a set cancel flag stops it.
    DropTableUses(Difficulty difficulty, const std::shared_ptr<const FileLines>& list,
                  const std::atomic<bool>* cancel = nullptr);
    // The next monster line, with `rest`, is visited: whether a later line
    // names its table too (it is worth keeping then).
    bool visiting();
    // The line visiting() was told of has been visited.
    void visited(CachingFileSource& files, const std::string& rest);

  private:
    enum Flag : std::uint8_t { NamedLater = 1, NamedBefore = 2 };
    Difficulty difficulty_;
    std::vector<std::uint8_t> flags_; // one per line
    std::size_t next_ = 0;
};

// Every line of the monster lists of the chosen difficulties, visited Normal,
// Nightmare, Hell, as visit(difficulty, line cut at its first ":"). An error
// raised by visit is located at the monster line. While visit runs,
// files.keeping() tells whether a later line of the list names the same drop
// table.
template <class Visit>
void forEachMonsterLine(CachingFileSource& files, DifficultySet difficulties, Visit visit) {
    MonsterCandidate monster;
    for (const Difficulty difficulty : kAllDifficulties) {
        if (!difficulties.has(difficulty))
            continue;
        const std::string path = monsterListPath(difficulty);
        const std::shared_ptr<const FileLines> list = files.read(path);
        DropTableUses uses(difficulty, list, files.cancel());
        LineReader monsters(list, path, files.cancel());
        monster.where.path = path;
        forEachLine(monsters, [&](std::string_view line) {
            cutFirstColon(line, monster);
            monster.where.line = monsters.lineNumber();
            files.setKeeping(uses.visiting());
            visit(difficulty, static_cast<const MonsterCandidate&>(monster));
            files.setKeeping(true);
            uses.visited(files, monster.rest);
        });
        files.release(path);
    }
}

// Start-up: the candidate names of "Normal/monsterlist.txt" (or of another
// difficulty's list), appended to `out` (which keeps what was read when an
// error ends the reading).
void readMonsterNames(FileSource& files, std::vector<std::string>& out,
                      Difficulty difficulty = Difficulty::Normal);

} // namespace qdc
