#include "data/itemlist.h"
#include "data/levels.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "search/magicfind.h"
#include "search/searches.h"
#include "search/setchance.h"

namespace qdc {

SearchNote setItemSearch(const SearchEnv& env, ResultList& list, const std::string& baseSet,
                         const std::string& setItem, DifficultySet difficulties,
                         const std::string& magicFindText) {
    // The list is emptied before the magic find is read: a bad magic-find text
    // leaves it empty, with its sorting and labels as they were.
    list.clear();
    const std::int32_t realMagicFind = realSetMagicFind(toInt(magicFindText));
    list.setSorted(true);
    setLabelsFor(list, env.mode);

    CachingFileSource files(env.files);
    const SetItemFind found = findSetItem(files, baseSet, setItem);
    const SetQuality quality =
        setQualityFor(lookupQualityFlag(files, found.baseItem, ItemKey::BeforeComma));
    const bool cowItem = beginsWithCow(setItem);

    SetChanceInput in;
    in.setLevel = found.setLevel;
    in.ratio = quality.ratio;
    in.divisor = quality.divisor;
    in.realMagicFind = realMagicFind;
    in.baseItem = found.baseItem;
    in.setWeight = found.setWeight;

    // Goes on at a "-" line and off after the next merge pass, wherever that
    // comes: across drop tables, monsters and difficulties.
    bool merge = false;
    LevelIndex levels(files);
    forEachMonsterLine(files, difficulties, [&](Difficulty d, const MonsterCandidate& monster) {
        // The last level line of the monster decides. A monster without
        // one is taken at level 0 with no reduction.
        const LevelRecord level =
            levels.last(d, monster.name, ReductionCut::LastThree).value_or(LevelRecord{});
        in.monsterLevel = level.level;
        in.reduction = level.reduction;
        in.monsterName = monster.name;
        const DropTableRef ref = dropTableRef(d, monster.rest);
        in.picks = ref.picks;
        const std::string entryName = monster.name + difficultySuffix(d);

        DropTableReader table(files, ref.path, env.decimalSeparator);
        DropLine drop;
        while (table.next(drop)) {
            if (drop.dash) {
                in.picks = 1;
                in.reduction = 0;
                merge = true;
                continue;
            }
            in.p = toFloat(drop.chance, env.decimalSeparator);
            if (drop.item != found.baseItem || in.monsterLevel < found.setLevel)
                continue;
            double chance = setDropChance(in, SetChanceForm::ItemSearch);
            if (merge) {
                chance = mergePass(list, entryName, chance, env.mode, env.decimalSeparator);
                merge = false;
            }
            // A "Cow" set item drops only from "Cow" monsters: the rest of
            // this drop table is passed over.
            if (cowItem && !beginsWithCow(monster.name))
                break;
            list.add(makeEntry(entryName, chanceText(chance, env.decimalSeparator), env.mode));
        }
    });
    return std::nullopt;
}

} // namespace qdc
