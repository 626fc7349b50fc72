#pragma once

#include "data/difficulty.h"
#include "data/filesource.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qdc {

// A monster name offered by a ":" among the first 30 characters of a monster
// line; `rest` is the text after that ":".
struct MonsterCandidate {
    std::string name;
    std::string rest;
};

// Every candidate of the line, in order: each ":" at positions 1 to 30 gives
// the text before it.
std::vector<MonsterCandidate> scanMonsterNames(const std::string& line);

// The line cut at its first ":" wherever it stands. A line without ":" gives
// the empty name and the whole line as its rest.
MonsterCandidate cutFirstColon(std::string_view line);

struct DropTableRef {
    std::int32_t picks = 0;
    std::string path; // relative to the data directory
};

// The picks digit (the rest's last character, converted) and the drop table
// (the rest without its last two characters, inside the difficulty folder).
DropTableRef dropTableRef(Difficulty d, const std::string& rest);

// One line of a drop table.
struct DropLine {
    bool dash = false;  // the line is exactly "-"
    std::string item;   // text before the first ":", full stops made separators
    std::string chance; // text after the first ":" (the whole line without one)
};

DropLine readDropLine(const std::string& line, char decimalSeparator);

// The drop table a monster line's rest names, inside the difficulty folder:
// the rest without its last two characters. Nothing is converted.
std::string dropTablePath(Difficulty d, const std::string& rest);

// How many monster lines of one monster list name each drop table, counted
// down as the lines are visited, so that a table is kept only while a later
// line may walk it again.
class DropTableUses {
  public:
    DropTableUses(Difficulty difficulty, const std::shared_ptr<const FileLines>& list);
    // The monster line with `rest` has been visited.
    void visited(CachingFileSource& files, const std::string& rest);

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    Difficulty difficulty_;
    std::unordered_map<std::string, int, Hash, std::equal_to<>> left_;
};

// Every line of the monster lists of the chosen difficulties, visited Normal,
// Nightmare, Hell, as visit(difficulty, line cut at its first ":"). An error
// raised by visit is located at the monster line.
template <class Visit>
void forEachMonsterLine(CachingFileSource& files, DifficultySet difficulties, Visit visit) {
    for (const Difficulty difficulty : kAllDifficulties) {
        if (!difficulties.has(difficulty))
            continue;
        const std::string path = monsterListPath(difficulty);
        const std::shared_ptr<const FileLines> list = files.read(path);
        DropTableUses uses(difficulty, list);
        LineReader monsters(list, path);
        forEachLine(monsters, [&](std::string_view line) {
            const MonsterCandidate monster = cutFirstColon(line);
            visit(difficulty, monster);
            uses.visited(files, monster.rest);
        });
        files.release(path);
    }
}

// Start-up: the candidate names of "Normal/monsterlist.txt", appended to `out`
// (which keeps what was read when an error ends the reading).
void readMonsterNames(FileSource& files, std::vector<std::string>& out);

} // namespace qdc
