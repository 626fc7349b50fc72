#pragma once

#include "data/difficulty.h"
#include "data/filesource.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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
MonsterNameAt firstColonCut(std::string_view line);
// The same as copies.
MonsterCandidate cutFirstColon(std::string_view line);
// The same into `out`, reusing its storage.
void cutFirstColon(std::string_view line, MonsterCandidate& out);

// Where a search cuts a monster line for the name it gives.
enum class MonsterCut {
    Scan,       // at each ":" among its first kMonsterNameLimit characters
    FirstColon, // at its first ":" wherever it stands
};

// The lines of one monster list by the names they give, cut either way, in
// file order: what the searches of a folder that shares its parsing look
// their monster up in. Made only of a list that reads to its end; its texts
// are views into the list's bytes (or into `copies`, for a line that held a
// lone CR).
struct MonsterLineIndex {
    struct Line {
        std::string_view text;
        int number = 0;
        std::size_t restAt = 0; // where the rest after the name's ":" starts
    };
    using Lines = std::unordered_map<std::string_view, std::vector<Line>>;
    std::string path;
    std::shared_ptr<const FileLines> file;
    std::deque<std::string> copies;
    Lines scanned;
    Lines firstColon;
};

// The index of the difficulty's monster list that `files` shares, or null
// when the search reads the list itself.
const MonsterLineIndex* sharedMonsterLines(FileSource& files, Difficulty d);

// Calls visit(rest, where) for each line of the difficulty's monster list that
// gives `monster` when cut as `cut`, in file order, until visit returns false.
// An error raised by visit is located at the line.
template <class Visit>
void forEachLineNaming(FileSource& files, Difficulty d, const std::string& monster, MonsterCut cut,
                       Visit visit) {
    if (const MonsterLineIndex* index = sharedMonsterLines(files, d)) {
        const MonsterLineIndex::Lines& lines =
            cut == MonsterCut::Scan ? index->scanned : index->firstColon;
        const auto found = lines.find(monster);
        if (found == lines.end())
            return;
        for (const MonsterLineIndex::Line& line : found->second) {
            const ErrorLocation where{index->path, line.number, shortened(line.text)};
            if (!locatedAt(where, [&] { return visit(line.text.substr(line.restAt), where); }))
                return;
        }
        return;
    }
    LineReader monsters = files.open(monsterListPath(d));
    std::string_view line;
    while (monsters.next(line)) {
        const std::size_t colon = line.find(':');
        // A name is cut at most once from a line: each ":" gives another length.
        const bool named = cut == MonsterCut::Scan
                               ? monster.size() < kMonsterNameLimit &&
                                     line.size() > monster.size() && line[monster.size()] == ':' &&
                                     line.starts_with(monster)
                               : colon != std::string_view::npos && colon == monster.size() &&
                                     line.starts_with(monster);
        if (!named)
            continue;
        const ErrorLocation where = monsters.location();
        if (!locatedAt(where, [&] { return visit(line.substr(monster.size() + 1), where); }))
            return;
    }
}

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
// The same into `out`, reusing its storage.
void dropTablePath(Difficulty d, std::string_view rest, std::string& out);

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
