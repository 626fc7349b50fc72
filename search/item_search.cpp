#include "data/droptable.h"
#include "data/monsterlist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "results/resultwriter.h"
#include "search/notes.h"
#include "search/searches.h"
#include "search/tablewalks.h"

namespace qdc {

SearchNote itemSearch(const SearchEnv& env, ResultList& list, const std::string& item,
                      DifficultySet difficulties) {
    startSearch(list, env.mode);

    CachingFileSource files(env.files, env.cancel);
    // Once on, merging waits for the next line that names the item, in
    // whichever drop table, monster line or difficulty that comes.
    ResultWriter writer(list, env.mode, env.decimalSeparator, MergeRule::UntilNextMerge);
    const char sep = env.decimalSeparator;
    TableWalks walks(files, item, sep, false);
    bool named = false;
    std::string name;
    writer.collect([&] {
        forEachMonsterLine(files, difficulties, [&](Difficulty d, const MonsterCandidate& monster) {
            const DropTableRef ref = dropTableRef(d, monster.rest, monster.where);
            name.assign(monster.name).append(difficultySuffix(d));
            writer.setDifficulty(difficultyName(d), difficultySuffix(d));
            walks.walk(
                ref, true, [&] { writer.armMerge(); },
                [&](double p, std::int32_t picks) {
                    named = true;
                    const double chance = writer.merge(name, normalDropChance(p, picks));
                    writer.add(name, chanceText(chance, sep));
                    return true;
                });
        });
    });
    return named || item.empty() ? std::nullopt : unnamedItemNote(files, item, difficulties);
}

} // namespace qdc
