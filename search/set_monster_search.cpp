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

namespace qdc {

namespace {

struct MonsterLine {
    std::string rest; // after the first ":"
    ErrorLocation where;
};

// The first monster line of `monster`, or nothing.
std::optional<MonsterLine> firstMonsterLine(FileSource& files, Difficulty difficulty,
                                            const std::string& monster) {
    std::optional<MonsterLine> first;
    forEachLineNaming(files, difficulty, monster, MonsterCut::FirstColon,
                      [&](std::string_view rest, const ErrorLocation& where) {
                          first = MonsterLine{std::string(rest), where};
                          return false;
                      });
    return first;
}

} // namespace

SearchNote setMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                            Difficulty difficulty, const std::string& magicFindText) {
    // A bad magic-find text ends the search before the list changes.
    const std::int32_t magicFind = toInt(magicFindText);
    startSearch(list, env.mode);
    if (monster.empty())
        return std::nullopt;

    CachingFileSource files(env.files, env.cancel);
    SetChanceInput in;
    in.realMagicFind = realSetMagicFind(magicFind);
    in.monsterName = monster;
    // The first level line of the monster decides. A monster without one is
    // taken at level 0 with no reduction.
    const LevelRecord level =
        findLevel(files, difficulty, monster, kSetMonsterReading).value_or(LevelRecord{});
    in.monsterLevel = level.level;
    in.reduction = level.reduction;

    // Only the first monster line of the name counts.
    const std::optional<MonsterLine> line = firstMonsterLine(files, difficulty, monster);
    if (!line)
        return missingMonsterNote(files, monster, difficulty);
    const DropTableRef ref =
        locatedAt(line->where, [&] { return dropTableRef(difficulty, line->rest, line->where); });
    const bool cowMonster = beginsWithCow(monster);

    // Once on, merging stays on to the end of the search.
    ResultWriter writer(list, env.mode, env.decimalSeparator, MergeRule::ToTheEnd);
    writer.setDifficulty(difficultyName(difficulty), {});
    const char sep = env.decimalSeparator;
    // itemlist.txt and setlist.txt are read once, at the first drop-table line
    // that needs them.
    QualityFlags flags(files, kSetMonsterReading.flagKey);
    SetItemIndex sets(files);
    const auto onDash = [&] {
        in.reduction = 0;
        writer.armMerge();
    };
    // Every set item of the line's item at or below the monster's level. A
    // computation error is located at the drop-table line; a set list line
    // that does not convert at its own line.
    writer.collect([&] {
        walkDropTable(files, ref, sep, onDash, [&](const DropStep& drop) {
            in.picks = drop.picks;
            in.p = toFloatView(drop.chance, sep);
            const std::string item(drop.item);
            // An item without a quality flag gets ratio and divisor 0, so that a
            // set item made from it ends the search with a division error.
            const SetQuality quality = setQualityFor(flags.lookup(item));
            in.ratio = quality.ratio;
            in.divisor = quality.divisor;
            for (const SetItemRecord& record : sets.recordsOf(item)) {
                if (in.monsterLevel < record.setLevel)
                    continue;
                in.setLevel = record.setLevel;
                in.baseItem = record.baseItem;
                in.setWeight = record.setWeight;
                const double chance =
                    writer.merge(record.name, setDropChance(in, SetChanceForm::MonsterSearch));
                // A "Cow" set item drops only from "Cow" monsters; the walk goes on
                // with the next set item.
                if (beginsWithCow(record.name) && !cowMonster)
                    continue;
                writer.add(record.name, chanceText(chance, sep));
            }
            sets.raiseWalkEnd();
            return true;
        });
    });
    return std::nullopt;
}

} // namespace qdc
