#include "data/monsterlist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "search/searches.h"

namespace qdc {

SearchNote monsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                         Difficulty difficulty) {
    startSearch(list, env.mode);
    if (monster.empty())
        return std::nullopt;

    CachingFileSource files(env.files);
    bool merge = false;
    LineReader monsters = files.open(monsterListPath(difficulty));
    std::string line;
    while (monsters.next(line)) {
        for (const MonsterCandidate& candidate : scanMonsterNames(line)) {
            if (candidate.name != monster)
                continue;
            const DropTableRef ref = dropTableRef(difficulty, candidate.rest);
            std::int32_t picks = ref.picks;
            DropTableReader table(files, ref.path, env.decimalSeparator);
            DropLine drop;
            while (table.next(drop)) {
                if (drop.dash) {
                    picks = 1;
                    merge = true;
                    continue;
                }
                const double p = toFloat(drop.chance, env.decimalSeparator);
                double chance = monsterDropChance(drop.item, p, picks);
                if (merge)
                    chance = mergePass(list, drop.item, chance, env.mode, env.decimalSeparator);
                list.add(makeEntry(drop.item, chanceText(chance, env.decimalSeparator), env.mode));
            }
        }
    }
    return std::nullopt;
}

} // namespace qdc
