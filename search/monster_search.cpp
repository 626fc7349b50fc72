#include "data/droptable.h"
#include "data/monsterlist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "results/resultwriter.h"
#include "results/utf8.h"
#include "search/notes.h"
#include "search/searches.h"

namespace qdc {

namespace {

// The search cuts a monster line only at a ":" among its first
// kMonsterNameLimit characters: a longer name is never found, listed or not.
SearchNote unlistedMonsterNote(FileSource& files, const std::string& monster,
                               Difficulty difficulty) {
    if (monster.size() < kMonsterNameLimit)
        return missingMonsterNote(files, monster, difficulty);
    return "no monster named \"" + shortened(monster) + "\" can be found: the monster list " +
           "gives no name of " + std::to_string(kMonsterNameLimit) + " characters or more";
}

} // namespace

SearchNote monsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                         Difficulty difficulty) {
    startSearch(list, env.mode);
    if (monster.empty())
        return std::nullopt;

    CachingFileSource files(env.files, env.cancel);
    // Once a "-" line is read, every later entry of the search is merged.
    ResultWriter writer(list, env.mode, env.decimalSeparator, MergeRule::ToTheEnd);
    writer.setDifficulty(difficultyName(difficulty), {});
    const char sep = env.decimalSeparator;
    bool listed = false;
    writer.collect([&] {
        forEachLineNaming(
            files, difficulty, monster, MonsterCut::Scan,
            [&](std::string_view rest, const ErrorLocation& where) {
                listed = true;
                walkDropTable(
                    files, dropTableRef(difficulty, rest, where), sep, [&] { writer.armMerge(); },
                    [&](const DropStep& drop) {
                        const std::string item(drop.item);
                        const double p = toFloatView(drop.chance, sep);
                        const double chance =
                            writer.merge(item, monsterDropChance(item, p, drop.picks));
                        writer.add(item, chanceText(chance, sep));
                        return true;
                    });
                return true;
            });
    });
    return listed ? std::nullopt : unlistedMonsterNote(files, monster, difficulty);
}

} // namespace qdc
