#include "data/monsterlist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "search/searches.h"

namespace qdc {

SearchNote itemSearch(const SearchEnv& env, ResultList& list, const std::string& item,
                      DifficultySet difficulties) {
    startSearch(list, env.mode);

    CachingFileSource files(env.files);
    // Once on, the flag waits for the next line that names the item, in
    // whichever drop table, monster line or difficulty that comes.
    bool merge = false;
    forEachMonsterLine(
        files, difficulties, [&](Difficulty difficulty, const MonsterCandidate& monster) {
            const DropTableRef ref = dropTableRef(difficulty, monster.rest);
            std::int32_t picks = ref.picks;
            const std::string name = monster.name + difficultySuffix(difficulty);
            DropTableReader table(files, ref.path, env.decimalSeparator);
            DropLine drop;
            while (table.next(drop)) {
                if (drop.dash) {
                    picks = 1;
                    merge = true;
                    continue;
                }
                if (drop.item != item)
                    continue;
                const double p = toFloat(drop.chance, env.decimalSeparator);
                double chance = normalDropChance(p, picks);
                if (merge) {
                    chance = mergePass(list, name, chance, env.mode, env.decimalSeparator);
                    merge = false;
                }
                list.add(makeEntry(name, chanceText(chance, env.decimalSeparator), env.mode));
            }
        });
    return std::nullopt;
}

} // namespace qdc
