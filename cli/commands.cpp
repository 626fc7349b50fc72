#include "cli/commands.h"

#include "cli/datafolder.h"
#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/convert.h"
#include "search/magicfind.h"

#include <sstream>

namespace qdc::cli {

DifficultySet parseDifficulties(const std::string& text) {
    DifficultySet set;
    if (text.empty())
        return set;
    if (text.back() == ',')
        throw UsageError{"--difficulty: empty difficulty in '" + text + "'"};
    std::stringstream stream(text);
    std::string word;
    while (std::getline(stream, word, ',')) {
        if (word == "normal")
            set.normal = true;
        else if (word == "nightmare")
            set.nightmare = true;
        else if (word == "hell")
            set.hell = true;
        else
            throw UsageError{"--difficulty: unknown difficulty '" + word +
                             "' (normal, nightmare, hell)"};
    }
    return set;
}

namespace {

Difficulty singleDifficulty(const std::string& text) {
    const DifficultySet set = parseDifficulties(text);
    if (int(set.normal) + int(set.nightmare) + int(set.hell) != 1)
        throw UsageError{"this command needs exactly one difficulty in --difficulty"};
    return set.normal      ? Difficulty::Normal
           : set.nightmare ? Difficulty::Nightmare
                           : Difficulty::Hell;
}

// Runs one search on the data directory of the settings.
template <class Search> void runSearch(const Settings& s, Outcome& out, Search search) {
    const auto files = openDataFolder(s.dataDir);
    const SearchEnv env{*files, s.decimalSeparator, s.mode()};
    out.note = search(env, out.results);
}

void listNames(const Settings& s, const std::string& what, Outcome& out) {
    out.shape = Shape::Names;
    const auto files = openDataFolder(s.dataDir);
    if (what == "monsters")
        readMonsterNames(*files, out.names);
    else if (what == "items")
        readItemNames(*files, out.names);
    else if (what == "base-sets")
        readBaseSetNames(*files, out.names);
    else if (what == "uniques")
        readUniqueNames(*files, out.names);
    else
        throw UsageError{"list: unknown list '" + what + "' (monsters, items, base-sets, uniques)"};
}

void setItemNames(const Settings& s, const std::string& baseSet, Outcome& out) {
    out.shape = Shape::Names;
    const auto files = openDataFolder(s.dataDir);
    SetItemChoice choice;
    try {
        chooseBaseSet(*files, baseSet, choice);
    } catch (...) {
        out.names = std::move(choice.names);
        throw;
    }
    out.names = std::move(choice.names);
}

void magicFind(const std::string& text, Outcome& out) {
    out.shape = Shape::Numbers;
    const RealMagicFind real = realMagicFind(toInt(text));
    out.numbers = {{"unique", real.unique}, {"set", real.set}, {"rare", real.rare}};
}

void check(const Settings& s, Outcome& out) {
    out.shape = Shape::Problems;
    const auto files = openDataFolder(s.dataDir);
    out.report = checkData(*files, listDataFolder(*files), s.decimalSeparator);
}

const std::string kOneDifficulty =
    "--data, --sort, --difficulty (exactly one), --decimal-separator, --wide, --format";
const std::string kManyDifficulties =
    "--data, --sort, --difficulty, --decimal-separator, --wide, --format";
const std::string kWithMagicFind = "--mf, ";

std::vector<Command> makeCommands() {
    using Args = std::vector<std::string>;
    return {
        {"monster",
         "What a monster drops at one difficulty",
         {{"NAME", "Monster name"}},
         kOneDifficulty,
         [](const Settings& s, const Args& a, Outcome& out) {
             runSearch(s, out, [&](const SearchEnv& env, ResultList& list) {
                 return monsterSearch(env, list, a[0], singleDifficulty(s.difficulty));
             });
         }},
        {"item",
         "Which monsters drop an item",
         {{"NAME", "Item name"}},
         kManyDifficulties,
         [](const Settings& s, const Args& a, Outcome& out) {
             runSearch(s, out, [&](const SearchEnv& env, ResultList& list) {
                 return itemSearch(env, list, a[0], parseDifficulties(s.difficulty));
             });
         }},
        {"unique-item",
         "Which monsters drop a unique item",
         {{"NAME", "Unique item name"}},
         kWithMagicFind + kManyDifficulties,
         [](const Settings& s, const Args& a, Outcome& out) {
             runSearch(s, out, [&](const SearchEnv& env, ResultList& list) {
                 return uniqueItemSearch(env, list, a[0], parseDifficulties(s.difficulty),
                                         s.magicFind);
             });
         }},
        {"unique-monster",
         "Which unique items a monster drops at one difficulty",
         {{"NAME", "Monster name"}},
         kWithMagicFind + kOneDifficulty,
         [](const Settings& s, const Args& a, Outcome& out) {
             runSearch(s, out, [&](const SearchEnv& env, ResultList& list) {
                 return uniqueMonsterSearch(env, list, a[0], singleDifficulty(s.difficulty),
                                            s.magicFind);
             });
         }},
        {"set-item",
         "Which monsters drop a set item",
         {{"BASESET", "Base set name"}, {"SETITEM", "Set item name"}},
         kWithMagicFind + kManyDifficulties,
         [](const Settings& s, const Args& a, Outcome& out) {
             runSearch(s, out, [&](const SearchEnv& env, ResultList& list) {
                 return setItemSearch(env, list, a[0], a[1], parseDifficulties(s.difficulty),
                                      s.magicFind);
             });
         }},
        {"set-monster",
         "Which set items a monster drops at one difficulty",
         {{"NAME", "Monster name"}},
         kWithMagicFind + kOneDifficulty,
         [](const Settings& s, const Args& a, Outcome& out) {
             runSearch(s, out, [&](const SearchEnv& env, ResultList& list) {
                 return setMonsterSearch(env, list, a[0], singleDifficulty(s.difficulty),
                                         s.magicFind);
             });
         }},
        {"set-items",
         "The set items that choosing a base set offers",
         {{"BASESET", "Base set name"}},
         "--data, --format",
         [](const Settings& s, const Args& a, Outcome& out) { setItemNames(s, a[0], out); }},
        {"list",
         "The names that start-up puts into a selection box",
         {{"WHAT", "monsters, items, base-sets or uniques"}},
         "--data, --format",
         [](const Settings& s, const Args& a, Outcome& out) { listNames(s, a[0], out); }},
        {"mf",
         "Real unique, set and rare magic find, one a line",
         {{"TEXT", "Magic find"}},
         "--format",
         [](const Settings&, const Args& a, Outcome& out) { magicFind(a[0], out); }},
        {"check",
         "Every problem of the data files, with file and line",
         {},
         "--data, --decimal-separator, --format",
         [](const Settings& s, const Args&, Outcome& out) { check(s, out); }},
    };
}

} // namespace

const std::vector<Command>& commands() {
    static const std::vector<Command> table = makeCommands();
    return table;
}

} // namespace qdc::cli
