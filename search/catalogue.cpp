#include "search/catalogue.h"

#include "results/showntext.h"

namespace qdc {

Difficulty firstDifficulty(DifficultySet set) {
    for (const Difficulty d : kAllDifficulties)
        if (set.has(d))
            return d;
    return Difficulty::Normal;
}

namespace {

const SearchInput kMonster{"NAME", "Monster name", "monsters"};

std::vector<SearchKind> makeCatalogue() {
    using R = const SearchRequest&;
    return {
        {"monster",
         "monster search",
         "What a monster drops at one difficulty",
         {kMonster},
         true,
         false,
         [](const SearchEnv& env, ResultList& list, R r) {
             return monsterSearch(env, list, r.names.at(0), firstDifficulty(r.difficulties));
         }},
        {"item",
         "item search",
         "Which monsters drop an item",
         {{"NAME", "Item name", "items"}},
         false,
         false,
         [](const SearchEnv& env, ResultList& list, R r) {
             return itemSearch(env, list, r.names.at(0), r.difficulties);
         }},
        {"unique-item",
         "unique item search",
         "Which monsters drop a unique item",
         {{"NAME", "Unique item name", "uniques"}},
         false,
         true,
         [](const SearchEnv& env, ResultList& list, R r) {
             return uniqueItemSearch(env, list, r.names.at(0), r.difficulties, r.magicFind);
         }},
        {"unique-monster",
         "unique monster search",
         "Which unique items a monster drops at one difficulty",
         {kMonster},
         true,
         true,
         [](const SearchEnv& env, ResultList& list, R r) {
             return uniqueMonsterSearch(env, list, r.names.at(0), firstDifficulty(r.difficulties),
                                        r.magicFind);
         }},
        {"set-item",
         "set item search",
         "Which monsters drop a set item",
         {{"BASESET", "Base set name", "base-sets"}, {"SETITEM", "Set item name", "set-items"}},
         false,
         true,
         [](const SearchEnv& env, ResultList& list, R r) {
             return setItemSearch(env, list, r.names.at(0), r.names.at(1), r.difficulties,
                                  r.magicFind);
         }},
        {"set-monster",
         "set monster search",
         "Which set items a monster drops at one difficulty",
         {kMonster},
         true,
         true,
         [](const SearchEnv& env, ResultList& list, R r) {
             return setMonsterSearch(env, list, r.names.at(0), firstDifficulty(r.difficulties),
                                     r.magicFind);
         }},
    };
}

} // namespace

const std::vector<SearchKind>& searchCatalogue() {
    static const std::vector<SearchKind> catalogue = makeCatalogue();
    return catalogue;
}

const SearchKind* findSearch(std::string_view command) {
    for (const SearchKind& search : searchCatalogue())
        if (search.command == command)
            return &search;
    return nullptr;
}

std::string answerHeading(const SearchKind& search, const SearchRequest& request, int entries) {
    const std::string dot = " \u00b7 ";
    std::string heading = request.names.empty() ? std::string() : shownText(request.names.back());
    std::string difficulties;
    for (const Difficulty d : kAllDifficulties) {
        if (!request.difficulties.has(d))
            continue;
        difficulties += (difficulties.empty() ? "" : ", ") + difficultyName(d);
        if (search.oneDifficulty)
            break;
    }
    if (!difficulties.empty())
        heading += dot + difficulties;
    if (search.readsMagicFind)
        heading += dot + "magic find " + shownText(request.magicFind);
    heading += dot + (entries == 1 ? std::string("1 entry") : std::to_string(entries) + " entries");
    return heading;
}

} // namespace qdc
