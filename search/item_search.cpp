#include "data/droptable.h"
#include "data/monsterlist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "results/resultwriter.h"
#include "search/notes.h"
#include "search/searches.h"

namespace qdc {

SearchNote itemSearch(const SearchEnv& env, ResultList& list, const std::string& item,
                      DifficultySet difficulties) {
    startSearch(list, env.mode);

    CachingFileSource files(env.files);
    // Once on, merging waits for the next line that names the item, in
    // whichever drop table, monster line or difficulty that comes.
    ResultWriter writer(list, env.mode, env.decimalSeparator, MergeRule::UntilNextMerge);
    const char sep = env.decimalSeparator;
    bool named = false;
    std::string name;
    writer.collect([&] {
        forEachMonsterLine(files, difficulties, [&](Difficulty d, const MonsterCandidate& monster) {
            DropTableRef ref = dropTableRef(d, monster.rest);
            name.assign(monster.name).append(difficultySuffix(d));
            walkDropTable(
                files, std::move(ref), sep, [&] { writer.armMerge(); },
                [&](const DropStep& drop) {
                    if (drop.item != item)
                        return true;
                    named = true;
                    const double p = toFloatView(drop.chance, sep);
                    const double chance = writer.merge(name, normalDropChance(p, drop.picks));
                    writer.add(name, chanceText(chance, sep));
                    return true;
                });
        });
    });
    return named || item.empty() ? std::nullopt : unnamedItemNote(item, difficulties);
}

} // namespace qdc
