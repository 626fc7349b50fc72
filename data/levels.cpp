#include "data/levels.h"

#include "results/convert.h"
#include "results/error.h"

namespace qdc {

std::string_view levelLineName(std::string_view line) {
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view() : line.substr(0, colon);
}

LevelRecord parseLevelLine(std::string_view line, ReductionCut cut) {
    const std::size_t colon = line.find(':');
    const std::size_t start = colon == std::string_view::npos ? 0 : colon + 1;
    const std::size_t comma = line.find(',');
    LevelRecord record;
    if (comma == std::string_view::npos) {
        record.level = toInt(std::string(line.substr(start)));
        return record;
    }
    record.level =
        toInt(comma >= start ? std::string(line.substr(start, comma - start)) : std::string());
    if (cut == ReductionCut::AfterComma)
        record.reduction = toInt(std::string(line.substr(comma + 1, 3)));
    else
        record.reduction = toInt(std::string(line.substr(line.size() >= 3 ? line.size() - 3 : 0)));
    return record;
}

namespace {

// The level index of the folder's searches, when they share their parsing:
// it answers as reading the file anew does, errors included.
LevelIndex* sharedLevels(FileSource& files, Difficulty d) {
    ParsedFiles* parsed = files.parsed();
    if (parsed == nullptr)
        return nullptr;
    const std::string path = levelsPath(d);
    std::shared_ptr<LevelIndex> index = parsed->find<LevelIndex>(path);
    if (!index) {
        index = std::make_shared<LevelIndex>(parsed->files());
        parsed->keep(path, 0, index);
    }
    return index.get();
}

} // namespace

std::optional<LevelRecord> findFirstLevel(FileSource& files, Difficulty d,
                                          const std::string& monster, ReductionCut cut) {
    if (LevelIndex* shared = sharedLevels(files, d))
        return shared->first(d, monster, cut);
    LineReader reader = files.open(levelsPath(d));
    std::string line;
    while (reader.next(line))
        if (levelLineName(line) == monster)
            return locatedAt(reader.location(), [&] { return parseLevelLine(line, cut); });
    return std::nullopt;
}

std::optional<LevelRecord> findLastLevel(FileSource& files, Difficulty d,
                                         const std::string& monster, ReductionCut cut) {
    if (LevelIndex* shared = sharedLevels(files, d))
        return shared->last(d, monster, cut);
    std::optional<LevelRecord> found;
    LineReader reader = files.open(levelsPath(d));
    forEachLine(reader, [&](std::string_view line) {
        if (levelLineName(line) == monster)
            found = parseLevelLine(line, cut);
    });
    return found;
}

void LevelIndex::add(Table& table, int number, std::string_view text) {
    const std::string& bytes = table.file->bytes;
    if (text.data() < bytes.data() || text.data() > bytes.data() + bytes.size())
        text = table.copies.emplace_back(text);
    const auto index = static_cast<std::uint32_t>(table.lines.size());
    Chain& chain = table.byName[levelLineName(text)];
    table.lines.push_back({number, text, kNoLine, chain.last == kNoLine});
    if (chain.last == kNoLine)
        chain.first = index;
    else
        table.lines[chain.last].next = index;
    chain.last = index;
}

LevelIndex::Table& LevelIndex::table(Difficulty d) {
    Table& table = tables_[static_cast<int>(d)];
    if (table.loaded)
        return table;
    table.path = levelsPath(d);
    table.file = files_.read(table.path);
    LineReader reader(table.file, table.path, files_.cancel());
    std::string_view line;
    try {
        while (reader.next(line))
            add(table, reader.lineNumber(), line);
    } catch (const DropError& e) {
        table.error = e;
    }
    table.loaded = true;
    return table;
}

std::optional<LevelRecord> LevelIndex::parse(const Table& table, const Line& line, ReductionCut cut,
                                             ErrorSink& sink) {
    try {
        return parseLevelLine(line.text, cut);
    } catch (DropError& e) {
        e.locate({table.path, line.number, shortened(line.text)});
        sink.error(e);
        return std::nullopt;
    }
}

std::uint32_t LevelIndex::firstLineOf(Table& table, const std::string& monster) {
    std::uint32_t first = kNoLine;
    if (table.hint < table.lines.size() && table.lines[table.hint].firstOfName &&
        levelLineName(table.lines[table.hint].text) == monster) {
        first = table.hint;
    } else {
        const auto found = table.byName.find(monster);
        if (found == table.byName.end())
            return kNoLine;
        first = found->second.first;
    }
    table.hint = first + 1;
    return first;
}

std::optional<LevelRecord> LevelIndex::first(Difficulty d, const std::string& monster,
                                             ReductionCut cut, ErrorSink& sink) {
    Table& t = table(d);
    const std::uint32_t first = firstLineOf(t, monster);
    if (first != kNoLine)
        return parse(t, t.lines[first], cut, sink);
    if (t.error)
        sink.error(*t.error);
    return std::nullopt;
}

std::optional<LevelRecord> LevelIndex::last(Difficulty d, const std::string& monster,
                                            ReductionCut cut, ErrorSink& sink) {
    Table& t = table(d);
    std::optional<LevelRecord> record;
    for (std::uint32_t i = firstLineOf(t, monster); i != kNoLine; i = t.lines[i].next)
        if (const std::optional<LevelRecord> line = parse(t, t.lines[i], cut, sink))
            record = line;
    if (t.error)
        sink.error(*t.error);
    return record;
}

} // namespace qdc
