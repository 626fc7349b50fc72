#include "data/droptable.h"
#include "data/monsterlist.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "results/resultwriter.h"
#include "search/notes.h"
#include "search/searches.h"

namespace qdc {

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
        LineReader monsters = files.open(monsterListPath(difficulty));
        forEachLine(monsters, [&](std::string_view line) {
            for (const MonsterNameAt& candidate : scanMonsterNames(line)) {
                if (candidate.name != monster)
                    continue;
                listed = true;
                walkDropTable(
                    files, dropTableRef(difficulty, candidate.rest, monsters.location()), sep,
                    [&] { writer.armMerge(); },
                    [&](const DropStep& drop) {
                        const std::string item(drop.item);
                        const double p = toFloatView(drop.chance, sep);
                        const double chance =
                            writer.merge(item, monsterDropChance(item, p, drop.picks));
                        writer.add(item, chanceText(chance, sep));
                        return true;
                    });
            }
        });
    });
    return listed ? std::nullopt : missingMonsterNote(files, monster, difficulty);
}

} // namespace qdc
