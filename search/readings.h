#pragma once

#include "data/difficulty.h"
#include "data/itemlist.h"
#include "data/levels.h"

#include <optional>
#include <string>

namespace qdc {

// How a search that computes a quality reads the lists the searches share:
// the part of an itemlist.txt line it looks a base item's quality flag up
// by, and which level line of a monster it takes and how it cuts the
// reduction. Each of the four searches reads by its own, and the checker by
// all four, so that it reads the data exactly as each search does.
struct Reading {
    ItemKey flagKey;
    bool lastLevelLine; // the last level line of the monster's name, not the first
    ReductionCut cut;
};

inline constexpr Reading kUniqueItemReading{ItemKey::WithoutLastTwo, false,
                                            ReductionCut::AfterComma};
inline constexpr Reading kUniqueMonsterReading{ItemKey::BeforeComma, false,
                                               ReductionCut::AfterComma};
inline constexpr Reading kSetItemReading{ItemKey::BeforeComma, true, ReductionCut::LastThree};
inline constexpr Reading kSetMonsterReading{ItemKey::BeforeComma, false, ReductionCut::LastThree};

// The level line of `monster` as `reading` takes it, from an index or from
// the file.
inline std::optional<LevelRecord> levelOf(LevelIndex& levels, Difficulty d,
                                          const std::string& monster, const Reading& reading) {
    return reading.lastLevelLine ? levels.last(d, monster, reading.cut)
                                 : levels.first(d, monster, reading.cut);
}
inline std::optional<LevelRecord> findLevel(FileSource& files, Difficulty d,
                                            const std::string& monster, const Reading& reading) {
    return reading.lastLevelLine ? findLastLevel(files, d, monster, reading.cut)
                                 : findFirstLevel(files, d, monster, reading.cut);
}

} // namespace qdc
