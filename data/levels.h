#pragma once

#include "data/difficulty.h"
#include "data/filesource.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qdc {

struct LevelRecord {
    std::int32_t level = 0;
    std::int32_t reduction = 0;
};

// How the quality reduction is cut from a level line "name:level,reduction".
enum class ReductionCut {
    AfterComma, // at most three characters after the first "," (unique searches)
    LastThree,  // the last three characters of the line (set searches)
};

// The monster name of a level line: the text before its first ":" (the empty
// text when it has none).
std::string_view levelLineName(std::string_view line);

// The level and reduction of a level line. Without a "," the level is all the
// text after the first ":" and the reduction 0.
LevelRecord parseLevelLine(std::string_view line, ReductionCut cut);

// The first level line of `monster` in the difficulty's levels.txt.
std::optional<LevelRecord> findFirstLevel(FileSource& files, Difficulty d,
                                          const std::string& monster, ReductionCut cut);

// The last level line of `monster`; every matching line is converted.
std::optional<LevelRecord> findLastLevel(FileSource& files, Difficulty d,
                                         const std::string& monster, ReductionCut cut);

// The level lists of a search that looks up every monster it meets: each
// file is read once and its lines indexed by monster name. Lookups give what
// findFirstLevel() and findLastLevel() give, errors included, in the same
// order. Each error goes to `sink`, located; when the sink returns, a line
// that does not convert is passed over, and the file's read error ends the
// lookup.
class LevelIndex {
  public:
    explicit LevelIndex(FileSource& files) : files_(files) {}
    std::optional<LevelRecord> first(Difficulty d, const std::string& monster, ReductionCut cut,
                                     ErrorSink& sink = raisingSink());
    std::optional<LevelRecord> last(Difficulty d, const std::string& monster, ReductionCut cut,
                                    ErrorSink& sink = raisingSink());

  private:
    // The level lines of a file, those of one monster name chained in file
    // order. Texts are views into the file's bytes (or into `copies`, for a
    // line that held a lone CR).
    struct Line {
        int number = 0;
        std::string_view text;
        std::uint32_t next = kNoLine;
        bool firstOfName = false;
    };
    struct Chain {
        std::uint32_t first = kNoLine;
        std::uint32_t last = kNoLine;
    };
    struct Table {
        std::shared_ptr<const FileLines> file;
        std::string path;
        std::vector<Line> lines;
        std::unordered_map<std::string_view, Chain> byName;
        std::deque<std::string> copies;
        std::optional<DropError> error;
        bool loaded = false;
        // Where the next lookup looks first: monsters are mostly looked up
        // in the order of their level lines.
        std::uint32_t hint = 0;
    };
    static constexpr std::uint32_t kNoLine = 0xffffffffU;
    Table& table(Difficulty d);
    static std::uint32_t firstLineOf(Table& table, const std::string& monster);
    static void add(Table& table, int number, std::string_view text);
    static std::optional<LevelRecord> parse(const Table& table, const Line& line, ReductionCut cut,
                                            ErrorSink& sink);

    FileSource& files_;
    Table tables_[3];
};

} // namespace qdc
