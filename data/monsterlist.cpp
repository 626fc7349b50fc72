#include "data/monsterlist.h"

#include "results/convert.h"

#include <algorithm>
#include <unordered_map>

namespace qdc {

std::vector<MonsterNameAt> scanMonsterNames(std::string_view line) {
    std::vector<MonsterNameAt> found;
    scanMonsterNames(line, found);
    return found;
}

void scanMonsterNames(std::string_view line, std::vector<MonsterNameAt>& out) {
    out.clear();
    const std::size_t limit = line.size() < kMonsterNameLimit ? line.size() : kMonsterNameLimit;
    for (std::size_t i = 0; i < limit; ++i)
        if (line[i] == ':')
            out.push_back({line.substr(0, i), line.substr(i + 1)});
}

MonsterNameAt firstColonCut(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return {std::string_view(), line};
    return {line.substr(0, colon), line.substr(colon + 1)};
}

MonsterCandidate cutFirstColon(std::string_view line) {
    const MonsterNameAt cut = firstColonCut(line);
    return {std::string(cut.name), std::string(cut.rest), {}};
}

void cutFirstColon(std::string_view line, MonsterCandidate& out) {
    const MonsterNameAt cut = firstColonCut(line);
    out.name.assign(cut.name);
    out.rest.assign(cut.rest);
}

const MonsterLineIndex* sharedMonsterLines(FileSource& files, Difficulty d) {
    ParsedFiles* parsed = files.parsed();
    if (parsed == nullptr)
        return nullptr;
    const std::string path = monsterListPath(d);
    if (const auto index = parsed->find<const MonsterLineIndex>(path))
        return index.get();
    const std::shared_ptr<const FileLines> list = files.read(path);
    // A search meets a read error where it stands: it reads the list itself.
    if (list->error)
        return nullptr;
    auto index = std::make_shared<MonsterLineIndex>();
    index->path = path;
    index->file = list;
    const std::string& bytes = list->bytes;
    LineReader reader(list, path, files.cancel());
    std::vector<MonsterNameAt> candidates;
    std::string_view line;
    while (reader.next(line)) {
        if (line.data() < bytes.data() || line.data() > bytes.data() + bytes.size())
            line = index->copies.emplace_back(line);
        const int number = reader.lineNumber();
        scanMonsterNames(line, candidates);
        for (const MonsterNameAt& c : candidates)
            index->scanned[c.name].push_back({line, number, c.name.size() + 1});
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos)
            index->firstColon[line.substr(0, colon)].push_back({line, number, colon + 1});
    }
    parsed->keep<const MonsterLineIndex>(path, 0, index);
    return index.get();
}

std::string_view dropTableName(std::string_view rest) {
    return rest.substr(0, rest.size() >= 2 ? rest.size() - 2 : 0);
}

std::int32_t dropTablePicks(std::string_view rest) {
    return toInt(std::string(rest.substr(rest.empty() ? 0 : rest.size() - 1)));
}

std::string dropTablePath(Difficulty d, std::string_view rest) {
    std::string path;
    dropTablePath(d, rest, path);
    return path;
}

void dropTablePath(Difficulty d, std::string_view rest, std::string& out) {
    // As difficultyPath() makes it: every "\\" of the name a folder separator.
    const std::string_view name = dropTableName(rest);
    out = difficultyName(d);
    out += '/';
    const std::size_t start = out.size();
    out += name;
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '\\', '/');
}

DropTableRef dropTableRef(Difficulty d, std::string_view rest, ErrorLocation namedBy) {
    DropTableRef ref;
    ref.namedBy = std::move(namedBy);
    ref.picks = dropTablePicks(rest);
    ref.path = dropTablePath(d, rest);
    return ref;
}

namespace {

bool nextLineBeforeAnyError(LineReader& reader, std::string_view& line) {
    try {
        return reader.next(line);
    } catch (const DropError&) {
        return false;
    }
}

} // namespace

DropTableUses::DropTableUses(Difficulty difficulty, const std::shared_ptr<const FileLines>& list,
                             const std::atomic<bool>* cancel)
    : difficulty_(difficulty) {
    // The last line so far that names each table.
    std::unordered_map<std::string, std::size_t> lastLine;
    LineReader reader(list, {}, cancel);
    std::string_view line;
    // A read error partway ends the count; the walk raises it where it meets
    // it, after the lines before it.
    while (nextLineBeforeAnyError(reader, line)) {
        const std::size_t colon = line.find(':');
        const std::string_view rest =
            colon == std::string_view::npos ? line : line.substr(colon + 1);
        const std::size_t index = flags_.size();
        flags_.push_back(0);
        const auto [found, added] = lastLine.try_emplace(std::string(dropTableName(rest)), index);
        if (!added) {
            flags_[found->second] |= NamedLater;
            flags_[index] |= NamedBefore;
            found->second = index;
        }
    }
}

bool DropTableUses::visiting() {
    return next_ < flags_.size() && (flags_[next_] & NamedLater) != 0;
}

void DropTableUses::visited(CachingFileSource& files, const std::string& rest) {
    const std::uint8_t flags = next_ < flags_.size() ? flags_[next_] : 0;
    ++next_;
    // The last of several lines naming the table: it will not be walked again.
    if (flags == NamedBefore)
        files.release(dropTablePath(difficulty_, rest));
}

void readMonsterNames(FileSource& files, std::vector<std::string>& out, Difficulty difficulty) {
    LineReader reader = files.open(monsterListPath(difficulty));
    std::string_view line;
    while (reader.next(line))
        for (const MonsterNameAt& candidate : scanMonsterNames(line))
            out.emplace_back(candidate.name);
}

} // namespace qdc
