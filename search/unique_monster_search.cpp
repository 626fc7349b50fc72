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
    ResultWriter writer(list, env.mode, env.decimalSeparator, MergeRule::ToTheEnd);
    const char sep = env.decimalSeparator;
    // unilist.txt and itemlist.txt are read once, at the first drop-table
    // line that needs them.
    UniqueIndex uniques(files);
    QualityFlags flags(files, ItemKey::BeforeComma);

    const auto onDash = [&] {
        reduction = 0;
        writer.armMerge();
    };
    // Every unique of the line's item up to the monster's level. A computation
    // error is located at the drop-table line, a weight that does not convert
    // at its unilist.txt line.
    const auto visit = [&](const DropStep& drop) {
        const std::string item(drop.item);
        for (const UniqueReader::Unique& unique : uniques.uniquesOf(item)) {
            if (unique.level > level.level)
                continue;
            // Each unique takes the flag of its own base item: a base item
            // without one leaves ratio and divisor 0, never those of the
            // unique before.
            input.quality = uniqueQuality(flags.lookup(unique.baseItem));
            input.baseItem = unique.baseItem;
            input.uniqueWeight = unique.weight();
            input.p = toFloatView(drop.chance, sep);
            input.picks = drop.picks;
            input.qualityReduction = reduction;
            input.uniqueLevel = unique.level;
            const double chance =
                writer.merge(unique.name, uniqueDropChance(input, UniqueChanceForm::MonsterSearch));
            writer.add(unique.name, chanceText(chance, sep));
        }
        uniques.raiseWalkEnd();
        return true;
    };

    bool listed = false;
    writer.collect([&] {
        LineReader monsters = files.open(monsterListPath(difficulty));
        forEachLine(monsters, [&](std::string_view line) {
            const MonsterCandidate candidate = cutFirstColon(line);
            if (candidate.name != monster)
                return;
            listed = true;
            walkDropTable(files, dropTableRef(difficulty, candidate.rest), sep, onDash, visit);
        });
    });
    return listed ? std::nullopt : missingMonsterNote(monster, difficulty);
}

} // namespace qdc
