#include "data/itemlist.h"
#include "data/levels.h"
#include "data/monsterlist.h"
#include "data/unilist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "search/magicfind.h"
#include "search/searches.h"
#include "search/uniquechance.h"

namespace qdc {

SearchNote uniqueMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                               Difficulty difficulty, const std::string& magicFindText) {
    startSearch(list, env.mode);
    const std::int32_t realMagicFind = realUniqueMagicFind(toInt(magicFindText));
    if (monster.empty())
        return std::nullopt;

    CachingFileSource files(env.files);
    // Read once, before the monster list. A monster without a level line is
    // taken as level 0 without reduction.
    const LevelRecord level = findFirstLevel(files, difficulty, monster, ReductionCut::AfterComma)
                                  .value_or(LevelRecord{});

    UniqueChanceInput input;
    input.monsterLevel = level.level;
    input.realMagicFind = realMagicFind;
    // After a "-" line the reduction stays 0 to the end of the search.
    std::int32_t reduction = level.reduction;
    // Once on, every later entry of the search is merged.
    bool merge = false;

    LineReader monsters = files.open(monsterListPath(difficulty));
    std::string line;
    while (monsters.next(line)) {
        const MonsterCandidate candidate = cutFirstColon(line);
        if (candidate.name != monster)
            continue;
        const DropTableRef ref = dropTableRef(difficulty, candidate.rest);
        std::int32_t picks = ref.picks;
        DropTableReader table(files, ref.path, env.decimalSeparator);
        DropLine drop;
        while (table.next(drop)) {
            if (drop.dash) {
                reduction = 0;
                picks = 1;
                merge = true;
                continue;
            }
            UniqueReader uniques(files);
            UniqueReader::Unique unique;
            while (uniques.next(unique)) {
                if (unique.baseItem != drop.item || unique.level > level.level)
                    continue;
                // Each unique takes the flag of its own base item: a base item
                // without one leaves ratio and divisor 0, never those of the
                // unique before.
                input.quality =
                    uniqueQuality(lookupQualityFlag(files, unique.baseItem, ItemKey::BeforeComma));
                input.baseItem = unique.baseItem;
                input.uniqueWeight = unique.weight();
                input.p = toFloat(drop.chance, env.decimalSeparator);
                input.picks = picks;
                input.qualityReduction = reduction;
                input.uniqueLevel = unique.level;
                double chance = uniqueDropChance(input, 6, 8);
                if (merge)
                    chance = mergePass(list, unique.name, chance, env.mode, env.decimalSeparator);
                list.add(
                    makeEntry(unique.name, chanceText(chance, env.decimalSeparator), env.mode));
            }
        }
    }
    return std::nullopt;
}

} // namespace qdc
