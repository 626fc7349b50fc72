#include "data/levels.h"

#include "results/convert.h"
#include "results/error.h"

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
            return locatedAt(reader.location(), [&] { return parseLevelLine(line, cut); });
    return std::nullopt;
}

std::optional<LevelRecord> findLastLevel(FileSource& files, Difficulty d,
                                         const std::string& monster, ReductionCut cut) {
    std::optional<LevelRecord> found;
    LineReader reader = files.open(levelsPath(d));
    forEachLine(reader, [&](std::string_view view) {
        const std::string line(view);
        if (levelLineName(line) == monster)
            found = parseLevelLine(line, cut);
    });
    return found;
}

const LevelIndex::Table& LevelIndex::table(Difficulty d) {
    const auto found = tables_.find(d);
    if (found != tables_.end())
        return found->second;
    Table table;
    LineReader reader = files_.open(levelsPath(d));
    std::string_view line;
    try {
        while (reader.next(line))
            table.linesByName[levelLineName(std::string(line))].push_back(reader.location());
    } catch (const DropError& e) {
        table.error = e;
    }
    return tables_.emplace(d, std::move(table)).first->second;
}

std::optional<LevelRecord> LevelIndex::first(Difficulty d, const std::string& monster,
                                             ReductionCut cut) {
    const Table& t = table(d);
    const auto found = t.linesByName.find(monster);
    if (found != t.linesByName.end()) {
        const ErrorLocation& line = found->second.front();
        return locatedAt(line, [&] { return parseLevelLine(line.text, cut); });
    }
    if (t.error)
        throw DropError(*t.error);
    return std::nullopt;
}

std::optional<LevelRecord> LevelIndex::last(Difficulty d, const std::string& monster,
                                            ReductionCut cut) {
    const Table& t = table(d);
    std::optional<LevelRecord> record;
    const auto found = t.linesByName.find(monster);
    if (found != t.linesByName.end())
        for (const ErrorLocation& line : found->second)
            record = locatedAt(line, [&] { return parseLevelLine(line.text, cut); });
    if (t.error)
        throw DropError(*t.error);
    return record;
}

} // namespace qdc
