#pragma once

// What the search harnesses share: a data folder cut from the fuzzer's input,
// and a run of every search over it.

#include "data/filesource.h"
#include "results/error.h"
#include "results/resultlist.h"
#include "search/searches.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fuzz {

// The names a run looks up, one a line in the input's first part: monster,
// item, unique item, base set, set item, magic find.
struct Query {
    std::string monster, item, unique, baseSet, setItem, magicFind;
    char separator = '.';
    qdc::SortMode mode = qdc::SortMode::ChanceFirst;
};

inline std::vector<std::string_view> cut(std::string_view text, char at) {
    std::vector<std::string_view> parts;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find(at, begin);
        parts.push_back(text.substr(begin, end == std::string_view::npos ? end : end - begin));
        if (end == std::string_view::npos)
            return parts;
        begin = end + 1;
    }
}

inline Query readQuery(std::string_view part) {
    const auto lines = cut(part, '\n');
    auto line = [&](std::size_t i) { return i < lines.size() ? std::string(lines[i]) : ""; };
    Query q{line(0), line(1), line(2), line(3), line(4), line(5)};
    const std::string flags = line(6);
    q.separator = flags.find(',') != std::string::npos ? ',' : '.';
    q.mode = flags.find('n') != std::string::npos ? qdc::SortMode::NameFirst
                                                  : qdc::SortMode::ChanceFirst;
    return q;
}

// Adds a file to `files`, unless its path is refused.
inline void addFile(qdc::MemoryFileSource& files, std::string_view path, std::string bytes) {
    try {
        files.set(std::string(path), std::move(bytes));
    } catch (const qdc::DropError&) {
    }
}

// The input: parts separated by form feeds. The first is the query; each
// other part is a file, its first line the path and the rest its bytes.
inline Query readDataFolder(std::string_view input, qdc::MemoryFileSource& files) {
    const auto parts = cut(input, '\f');
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::size_t newline = parts[i].find('\n');
        if (newline == std::string_view::npos)
            continue;
        addFile(files, parts[i].substr(0, newline), std::string(parts[i].substr(newline + 1)));
    }
    return readQuery(parts[0]);
}

// Runs one search; a data error is a fine end, anything else escapes.
template <typename Search> void tryRun(Search&& search) {
    try {
        search();
    } catch (const qdc::DropError&) {
    }
}

inline void runEverySearch(qdc::FileSource& files, const Query& q) {
    const qdc::SearchEnv env{files, q.separator, q.mode};
    const qdc::DifficultySet all{true, true, true};
    for (const qdc::Difficulty d : qdc::kAllDifficulties) {
        qdc::MemoryResultList list;
        tryRun([&] { qdc::monsterSearch(env, list, q.monster, d); });
        tryRun([&] { qdc::uniqueMonsterSearch(env, list, q.monster, d, q.magicFind); });
        tryRun([&] { qdc::setMonsterSearch(env, list, q.monster, d, q.magicFind); });
    }
    qdc::MemoryResultList list;
    tryRun([&] { qdc::itemSearch(env, list, q.item, all); });
    tryRun([&] { qdc::uniqueItemSearch(env, list, q.unique, all, q.magicFind); });
    tryRun([&] { qdc::setItemSearch(env, list, q.baseSet, q.setItem, all, q.magicFind); });
    qdc::SetItemChoice choice;
    tryRun([&] { qdc::chooseBaseSet(files, q.baseSet, choice); });
}

} // namespace fuzz
