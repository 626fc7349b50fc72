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

SearchNote setMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                            Difficulty difficulty, const std::string& magicFindText) {
    // A bad magic-find text ends the search before the list changes.
    const std::int32_t magicFind = toInt(magicFindText);
    startSearch(list, env.mode);
    if (monster.empty())
        return std::nullopt;

    CachingFileSource files(env.files);
    SetChanceInput in;
    in.realMagicFind = realSetMagicFind(magicFind);
    in.monsterName = monster;
    // The first level line of the monster decides. A monster without one is
    // taken at level 0 with no reduction.
    const LevelRecord level =
        findFirstLevel(files, difficulty, monster, ReductionCut::LastThree).value_or(LevelRecord{});
    in.monsterLevel = level.level;
    in.reduction = level.reduction;

    // Only the first monster line of the name counts.
    LineReader monsters = files.open(monsterListPath(difficulty));
    std::string line;
    std::string rest;
    bool found = false;
    while (!found && monsters.next(line)) {
        MonsterCandidate candidate = cutFirstColon(line);
        if (candidate.name == monster) {
            rest = std::move(candidate.rest);
            found = true;
        }
    }
    if (!found)
        return std::nullopt;
    const DropTableRef ref = dropTableRef(difficulty, rest);
    in.picks = ref.picks;
    const bool cowMonster = beginsWithCow(monster);

    // Once on, merging stays on to the end of the search.
    bool merge = false;
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
        // An item without a quality flag gets ratio and divisor 0, so that a
        // set item made from it ends the search with a division error.
        const SetQuality quality =
            setQualityFor(lookupQualityFlag(files, drop.item, ItemKey::BeforeComma));
        in.ratio = quality.ratio;
        in.divisor = quality.divisor;
        forEachSetItem(files, [&](const SetItemRecord& record) {
            if (in.monsterLevel < record.setLevel || drop.item != record.baseItem)
                return;
            in.setLevel = record.setLevel;
            in.baseItem = record.baseItem;
            in.setWeight = record.setWeight;
            double chance = setDropChance(in, SetChanceForm::MonsterSearch);
            if (merge)
                chance = mergePass(list, record.name, chance, env.mode, env.decimalSeparator);
            // A "Cow" set item drops only from "Cow" monsters; the walk goes on
            // with the next set item.
            if (beginsWithCow(record.name) && !cowMonster)
                return;
            list.add(makeEntry(record.name, chanceText(chance, env.decimalSeparator), env.mode));
        });
    }
    return std::nullopt;
}

} // namespace qdc
