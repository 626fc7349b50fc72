#pragma once

#include "data/difficulty.h"
#include "data/filesource.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
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
std::string levelLineName(const std::string& line);

// The level and reduction of a level line. Without a "," the level is all the
// text after the first ":" and the reduction 0.
LevelRecord parseLevelLine(const std::string& line, ReductionCut cut);

// The first level line of `monster` in the difficulty's levels.txt.
std::optional<LevelRecord> findFirstLevel(FileSource& files, Difficulty d,
                                          const std::string& monster, ReductionCut cut);

// The last level line of `monster`; every matching line is converted.
std::optional<LevelRecord> findLastLevel(FileSource& files, Difficulty d,
                                         const std::string& monster, ReductionCut cut);

// The level lists of a search that looks up every monster it meets: each
// file is read once and its lines indexed by monster name. Lookups give what
// findFirstLevel() and findLastLevel() give, errors included, in the same
// order.
class LevelIndex {
  public:
    explicit LevelIndex(FileSource& files) : files_(files) {}
    std::optional<LevelRecord> first(Difficulty d, const std::string& monster, ReductionCut cut);
    std::optional<LevelRecord> last(Difficulty d, const std::string& monster, ReductionCut cut);

  private:
    // The lines of each monster name, each with its place in the file.
    struct Table {
        std::unordered_map<std::string, std::vector<ErrorLocation>> linesByName;
        std::optional<DropError> error;
    };
    const Table& table(Difficulty d);

    FileSource& files_;
    std::map<Difficulty, Table> tables_;
};

} // namespace qdc
