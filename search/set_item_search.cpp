#include "data/droptable.h"
#include "data/itemlist.h"
#include "data/levels.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "results/resultwriter.h"
#include "search/magicfind.h"
#include "search/notes.h"
#include "search/readings.h"
#include "search/searches.h"
#include "search/setchance.h"
#include "search/tablewalks.h"

namespace qdc {

namespace {

// Given with entries too: a base set that is not listed leaves the set level
// at 0, which changes every chance.
SearchNote setItemNote(FileSource& files, const SetItemFind& found, const std::string& baseSet,
                       const std::string& setItem, DifficultySet difficulties) {
    if (setItem.empty())
        return std::nullopt;
    if (!found.setItemInBlock && found.holdingSet)
        return otherBaseSetNote(setItem, *found.holdingSet, baseSet);
    if (baseSet.empty())
        return std::nullopt;
    if (!found.baseSetListed)
        return missingBaseSetNote(files, baseSet);
    if (!found.setItemInBlock)
        return missingSetItemNote(files, baseSet, setItem);
    return difficulties.any() ? std::nullopt : noDifficultyNote();
}

} // namespace

SearchNote setItemSearch(const SearchEnv& env, ResultList& list, const std::string& baseSet,
                         const std::string& setItem, DifficultySet difficulties,
                         const std::string& magicFindText) {
    // The list is emptied before the magic find is read: a bad magic-find text
    // leaves it empty, with its sorting and labels as they were.
    list.clear();
    const std::int32_t realMagicFind = realSetMagicFind(toInt(magicFindText));
    list.setSorted(placedByText(env.mode));
    setLabelsFor(list, env.mode);

    CachingFileSource files(env.files, env.cancel);
    const SetItemFind found = findSetItem(files, baseSet, setItem);
    const SetQuality quality =
        setQualityFor(lookupQualityFlag(files, found.baseItem, kSetItemReading.flagKey));
    const bool cowItem = beginsWithCow(setItem);

    SetChanceInput in;
    in.setLevel = found.setLevel;
    in.ratio = quality.ratio;
    in.divisor = quality.divisor;
    in.realMagicFind = realMagicFind;
    in.baseItem = found.baseItem;
    in.setWeight = found.setWeight;

    // Goes on at a "-" line and off after the next merge, wherever that
    // comes: across drop tables, monsters and difficulties.
    ResultWriter writer(list, env.mode, env.decimalSeparator, MergeRule::UntilNextMerge);
    const char sep = env.decimalSeparator;
    LevelIndex levels(files);
    // Every line's chance must convert, the lines of other items too.
    TableWalks walks(files, found.baseItem, sep, true);
    std::string entryName;
    writer.collect([&] {
        forEachMonsterLine(files, difficulties, [&](Difficulty d, const MonsterCandidate& monster) {
            // The last level line of the monster decides. A monster without
            // one is taken at level 0 with no reduction.
            const LevelRecord level =
                levelOf(levels, d, monster.name, kSetItemReading).value_or(LevelRecord{});
            in.monsterLevel = level.level;
            in.reduction = level.reduction;
            in.monsterName = monster.name;
            const DropTableRef ref = dropTableRef(d, monster.rest, monster.where);
            entryName.assign(monster.name).append(difficultySuffix(d));
            writer.setDifficulty(difficultyName(d), difficultySuffix(d));
            const auto onDash = [&] {
                in.reduction = 0;
                writer.armMerge();
            };
            // Below the set's level a monster takes none of the lines. A
            // computation error is located at the drop-table line it was for.
            walks.walk(
                ref, in.monsterLevel >= found.setLevel, onDash, [&](double p, std::int32_t picks) {
                    in.p = p;
                    in.picks = picks;
                    const double chance =
                        writer.merge(entryName, setDropChance(in, SetChanceForm::ItemSearch));
                    // A "Cow" set item drops only from "Cow" monsters: the
                    // rest of this drop table is passed over.
                    if (cowItem && !beginsWithCow(monster.name))
                        return false;
                    writer.add(entryName, chanceText(chance, sep));
                    return true;
                });
        });
    });
    return setItemNote(files, found, baseSet, setItem, difficulties);
}

} // namespace qdc
