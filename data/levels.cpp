#include "data/levels.h"

#include "results/convert.h"

namespace qdc {

std::string levelLineName(const std::string& line) {
    const std::size_t colon = line.find(':');
    return colon == std::string::npos ? std::string() : line.substr(0, colon);
}

LevelRecord parseLevelLine(const std::string& line, ReductionCut cut) {
    const std::size_t colon = line.find(':');
    const std::size_t start = colon == std::string::npos ? 0 : colon + 1;
    const std::size_t comma = line.find(',');
    LevelRecord record;
    if (comma == std::string::npos) {
        record.level = toInt(line.substr(start));
        return record;
    }
    record.level = toInt(comma >= start ? line.substr(start, comma - start) : std::string());
    if (cut == ReductionCut::AfterComma)
        record.reduction = toInt(line.substr(comma + 1, 3));
    else
        record.reduction = toInt(line.substr(line.size() >= 3 ? line.size() - 3 : 0));
    return record;
}

std::optional<LevelRecord> findFirstLevel(FileSource& files, Difficulty d,
                                          const std::string& monster, ReductionCut cut) {
    LineReader reader = files.open(levelsPath(d));
    std::string line;
    while (reader.next(line))
        if (levelLineName(line) == monster)
            return parseLevelLine(line, cut);
    return std::nullopt;
}

std::optional<LevelRecord> findLastLevel(FileSource& files, Difficulty d,
                                         const std::string& monster, ReductionCut cut) {
    std::optional<LevelRecord> found;
    LineReader reader = files.open(levelsPath(d));
    std::string line;
    while (reader.next(line))
        if (levelLineName(line) == monster)
            found = parseLevelLine(line, cut);
    return found;
}

} // namespace qdc
