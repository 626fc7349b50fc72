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
    // line that needs them. The index leaves out the uniques above the
    // monster's level.
    UniqueIndex uniques(files, level.level);
    QualityFlags flags(files, ItemKey::BeforeComma);

    const auto onDash = [&] {
        reduction = 0;
        writer.armMerge();
    };
    // Every unique of the line's item up to the monster's level. The item's
    // quality flag and the line's chance are read at its first such unique,
    // a unique's weight the first time it is used. A computation error is
    // located at the drop-table line, a weight that does not convert at its
    // unilist.txt line.
    const auto visit = [&](const DropStep& drop) {
        const UniqueIndex::Group* group = uniques.groupOf(drop.item);
        bool lineRead = false;
        for (std::uint32_t at = group ? group->first : UniqueIndex::kEnd;
             at != UniqueIndex::kEnd;) {
            UniqueIndex::Unique& unique = uniques.unique(at);
            at = unique.next;
            if (!lineRead) {
                // A base item without a flag leaves ratio and divisor 0.
                input.quality = uniqueQuality(flags.lookup(group->baseItem));
                input.baseItem = group->baseItem;
            }
            input.uniqueWeight = uniques.weightOf(*group, unique);
            if (!lineRead)
                input.p = toFloatView(drop.chance, sep);
            lineRead = true;
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
    LineReader monsters = files.open(monsterListPath(difficulty));
    forEachLine(monsters, [&](std::string_view line) {
        const MonsterCandidate candidate = cutFirstColon(line);
        if (candidate.name != monster)
            return;
        listed = true;
        walkDropTable(files, dropTableRef(difficulty, candidate.rest), sep, onDash, visit);
    });
    writer.finish();
    return listed ? std::nullopt : missingMonsterNote(monster, difficulty);
}

} // namespace qdc
