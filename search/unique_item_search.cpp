#include "data/droptable.h"
#include "data/itemlist.h"
#include "data/levels.h"
#include "data/monsterlist.h"
#include "data/unilist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "results/resultwriter.h"
#include "search/magicfind.h"
#include "search/notes.h"
#include "search/readings.h"
#include "search/searches.h"
#include "search/tablewalks.h"
#include "search/uniquechance.h"

namespace qdc {

namespace {

// The chance text of this search: the small-number form as everywhere, any
// other text written from the chance rounded to 10 decimals once more (a
// merged sum can carry more).
std::string uniqueItemChanceText(double chance, char decimalSeparator) {
    std::string general = generalNumberText(chance, decimalSeparator);
    std::string text = smallNumberForm(general);
    if (text != general)
        return text;
    return generalNumberText(roundTo(chance, 10), decimalSeparator);
}

} // namespace

SearchNote uniqueItemSearch(const SearchEnv& env, ResultList& list, const std::string& unique,
                            DifficultySet difficulties, const std::string& magicFindText) {
    // Before anything else: a bad magic-find text leaves the list as it was.
    const std::int32_t realMagicFind = realUniqueMagicFind(toInt(magicFindText));
    startSearch(list, env.mode);

    CachingFileSource files(env.files, env.cancel);
    const std::optional<UniqueRecord> found = findUniqueByName(files, unique);
    const UniqueRecord record = found.value_or(UniqueRecord{});
    const UniqueQuality quality =
        uniqueQuality(lookupQualityFlag(files, record.baseItem, kUniqueItemReading.flagKey));

    UniqueChanceInput input;
    input.uniqueLevel = record.level;
    input.quality = quality;
    input.realMagicFind = realMagicFind;
    input.baseItem = record.baseItem;
    input.uniqueWeight = record.weight;

    // Once on, merging waits for the next line that yields a result, in
    // whichever drop table, monster line or difficulty that comes.
    ResultWriter writer(list, env.mode, env.decimalSeparator, MergeRule::UntilNextMerge);
    const char sep = env.decimalSeparator;
    LevelIndex levels(files);
    TableWalks walks(files, record.baseItem, sep, false);
    std::string name;
    writer.collect([&] {
        forEachMonsterLine(files, difficulties, [&](Difficulty d, const MonsterCandidate& monster) {
            const DropTableRef ref = dropTableRef(d, monster.rest, monster.where);
            // A monster without a level line is taken as level 0 without
            // reduction, never as the monster before it.
            const LevelRecord level =
                levelOf(levels, d, monster.name, kUniqueItemReading).value_or(LevelRecord{});
            input.monsterLevel = level.level;
            input.qualityReduction = level.reduction;
            name.assign(monster.name).append(difficultySuffix(d));
            writer.setDifficulty(difficultyName(d), difficultySuffix(d));
            const auto onDash = [&] {
                input.qualityReduction = 0;
                writer.armMerge();
            };
            // Below the unique's level a monster takes none of the lines. A
            // computation error is located at the drop-table line it was for.
            walks.walk(
                ref, input.monsterLevel >= record.level, onDash, [&](double p, std::int32_t picks) {
                    input.picks = picks;
                    input.p = p;
                    const double chance =
                        writer.merge(name, uniqueDropChance(input, UniqueChanceForm::ItemSearch));
                    writer.add(name, uniqueItemChanceText(chance, sep));
                    return true;
                });
        });
    });
    if (unique.empty())
        return std::nullopt;
    if (!found)
        return missingUniqueNote(files, unique);
    return difficulties.any() ? std::nullopt : noDifficultyNote();
}

} // namespace qdc
