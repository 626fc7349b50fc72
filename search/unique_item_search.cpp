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

namespace {

// The chance text of this search: the small-number form as everywhere, any
// other text written from the chance rounded to 10 decimals once more (a
// merged sum can carry more).
std::string uniqueItemChanceText(double chance, char decimalSeparator) {
    const std::string text = chanceText(chance, decimalSeparator);
    if (text != generalNumberText(chance, decimalSeparator))
        return text;
    return generalNumberText(roundTo(chance, 10), decimalSeparator);
}

} // namespace

SearchNote uniqueItemSearch(const SearchEnv& env, ResultList& list, const std::string& unique,
                            DifficultySet difficulties, const std::string& magicFindText) {
    // Before anything else: a bad magic-find text leaves the list as it was.
    const std::int32_t realMagicFind = realUniqueMagicFind(toInt(magicFindText));
    startSearch(list, env.mode);

    CachingFileSource files(env.files);
    const UniqueRecord record = findUniqueByName(files, unique).value_or(UniqueRecord{});
    const UniqueQuality quality =
        uniqueQuality(lookupQualityFlag(files, record.baseItem, ItemKey::WithoutLastTwo));

    UniqueChanceInput input;
    input.uniqueLevel = record.level;
    input.quality = quality;
    input.realMagicFind = realMagicFind;
    input.baseItem = record.baseItem;
    input.uniqueWeight = record.weight;

    // Once on, the flag waits for the next line that yields a result, in
    // whichever drop table, monster line or difficulty that comes.
    bool merge = false;
    LevelIndex levels(files);
    forEachMonsterLine(
        files, difficulties, [&](Difficulty difficulty, const MonsterCandidate& monster) {
            const DropTableRef ref = dropTableRef(difficulty, monster.rest);
            // A monster without a level line is taken as level 0 without
            // reduction, never as the monster before it.
            const LevelRecord level =
                levels.first(difficulty, monster.name, ReductionCut::AfterComma)
                    .value_or(LevelRecord{});
            input.picks = ref.picks;
            input.monsterLevel = level.level;
            input.qualityReduction = level.reduction;
            const std::string name = monster.name + difficultySuffix(difficulty);
            DropTableReader table(files, ref.path, env.decimalSeparator);
            DropLine drop;
            while (table.next(drop)) {
                if (drop.dash) {
                    input.picks = 1;
                    input.qualityReduction = 0;
                    merge = true;
                    continue;
                }
                if (drop.item != record.baseItem || input.monsterLevel < record.level)
                    continue;
                input.p = toFloat(drop.chance, env.decimalSeparator);
                double chance = uniqueDropChance(input, 10, 3);
                if (merge) {
                    chance = mergePass(list, name, chance, env.mode, env.decimalSeparator);
                    merge = false;
                }
                list.add(
                    makeEntry(name, uniqueItemChanceText(chance, env.decimalSeparator), env.mode));
            }
        });
    return std::nullopt;
}

} // namespace qdc
