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
#include "search/uniquechance.h"

#include <cstring>
#include <map>
#include <unordered_set>

namespace qdc {

namespace {

// Drop-table lines that repeat the line before them while merging is on:
// each merges every unique of the line once more with the same chance. They
// are counted and written in one step. Uniques whose entry and chance are
// alike share one sum of the repeated merges, worked out by a writer of its
// own, so that n repeats over m alike uniques cost n + m merges, not n * m.
class RepeatedLines {
  public:
    RepeatedLines(ResultWriter& writer, SortMode mode, char decimalSeparator)
        : writer_(writer), mode_(mode), separator_(decimalSeparator) {}

    // Before a drop-table line of `group`: true when it repeats the line
    // before, which was taken whole while merging was on, and is counted.
    // Otherwise the repeats counted so far are written and the line is
    // taken as usual, each of its uniques told to took().
    bool repeats(const UniqueIndex::Group* group, std::string_view chance, std::int32_t picks,
                 std::int32_t reduction, bool merging) {
        if (ready_ && group == group_ && chance == chance_ && picks == picks_ &&
            reduction == reduction_) {
            ++pending_;
            return true;
        }
        flush();
        group_ = group;
        chance_.assign(chance);
        picks_ = picks;
        reduction_ = reduction;
        ready_ = merging && group != nullptr;
        steps_.clear();
        names_.clear();
        return false;
    }
    // A unique of the line was merged with `chance`, its entry made `text`.
    // A repeat must find each name's entry alone and reading back plainly.
    void took(const std::string& name, double chance, std::string text) {
        if (!ready_)
            return;
        const bool plain = isPlainFloatText(text, separator_) &&
                           (separator_ == '.' || text.find('.') == std::string::npos);
        ready_ = plain && names_.insert(name).second;
        steps_.push_back({&name, chance, std::move(text)});
    }
    // Writes the repeats counted so far.
    void flush() {
        if (pending_ == 0)
            return;
        std::map<std::pair<std::uint64_t, std::string_view>, std::string> sums;
        for (const Step& step : steps_) {
            std::uint64_t bits = 0; // the chance's bits (no std::bit_cast in every library)
            std::memcpy(&bits, &step.chance, sizeof bits);
            const auto [sum, added] = sums.try_emplace({bits, step.text});
            if (added)
                sum->second = repeatedSum(step.chance, step.text);
            writer_.merge(*step.name, 0); // takes out its entry
            writer_.add(*step.name, sum->second);
        }
        pending_ = 0;
    }

  private:
    // The entry text after `pending_` more merges of `chance` into `text`.
    std::string repeatedSum(double chance, const std::string& text) const {
        MemoryResultList list;
        ResultWriter sum(list, mode_, separator_, MergeRule::ToTheEnd);
        sum.add("u", text);
        sum.armMerge();
        std::string now = text;
        for (std::int64_t i = 0; i < pending_; ++i) {
            now = chanceText(sum.merge("u", chance), separator_);
            sum.add("u", now);
        }
        return now;
    }

    struct Step {
        const std::string* name;
        double chance;
        std::string text;
    };
    ResultWriter& writer_;
    SortMode mode_;
    char separator_;
    bool ready_ = false;
    const UniqueIndex::Group* group_ = nullptr;
    std::string chance_;
    std::int32_t picks_ = 0;
    std::int32_t reduction_ = 0;
    std::vector<Step> steps_;
    std::unordered_set<std::string_view> names_;
    std::int64_t pending_ = 0;
};

} // namespace

SearchNote uniqueMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                               Difficulty difficulty, const std::string& magicFindText) {
    startSearch(list, env.mode);
    const std::int32_t realMagicFind = realUniqueMagicFind(toInt(magicFindText));
    if (monster.empty())
        return std::nullopt;

    CachingFileSource files(env.files, env.cancel);
    // Read once, before the monster list. A monster without a level line is
    // taken as level 0 without reduction.
    const LevelRecord level =
        findLevel(files, difficulty, monster, kUniqueMonsterReading).value_or(LevelRecord{});

    UniqueChanceInput input;
    input.monsterLevel = level.level;
    input.realMagicFind = realMagicFind;
    // After a "-" line the reduction stays 0 to the end of the search.
    std::int32_t reduction = level.reduction;
    // Once on, every later entry of the search is merged.
    ResultWriter writer(list, env.mode, env.decimalSeparator, MergeRule::ToTheEnd);
    writer.setDifficulty(difficultyName(difficulty), {});
    const char sep = env.decimalSeparator;
    // unilist.txt and itemlist.txt are read once, at the first drop-table
    // line that needs them. The index leaves out the uniques above the
    // monster's level.
    UniqueIndex uniques(files, level.level);
    QualityFlags flags(files, kUniqueMonsterReading.flagKey);

    bool merging = false;
    RepeatedLines repeated(writer, env.mode, sep);
    const auto onDash = [&] {
        reduction = 0;
        merging = true;
        writer.armMerge();
    };
    // Every unique of the line's item up to the monster's level. The item's
    // quality flag and the line's chance are read at its first such unique,
    // a unique's weight the first time it is used. A computation error is
    // located at the drop-table line, a weight that does not convert at its
    // unilist.txt line.
    const auto visit = [&](const DropStep& drop) {
        const UniqueIndex::Group* group = uniques.groupOf(drop.item);
        if (repeated.repeats(group, drop.chance, drop.picks, reduction, merging))
            return true;
        bool lineRead = false;
        for (std::uint32_t at = uniques.firstOf(group); at != UniqueIndex::kEnd;) {
            UniqueIndex::Unique& unique = uniques.unique(at);
            at = uniques.nextOf(unique);
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
            const double chance = uniqueDropChance(input, UniqueChanceForm::MonsterSearch);
            std::string text = chanceText(writer.merge(unique.name, chance), sep);
            writer.add(unique.name, text);
            repeated.took(unique.name, chance, std::move(text));
        }
        uniques.raiseWalkEnd();
        return true;
    };

    bool listed = false;
    writer.collect([&] {
        // Whatever ends the search, the repeats counted before it are written.
        try {
            forEachLineNaming(files, difficulty, monster, MonsterCut::FirstColon,
                              [&](std::string_view rest, const ErrorLocation& where) {
                                  listed = true;
                                  walkDropTable(files, dropTableRef(difficulty, rest, where), sep,
                                                onDash, visit);
                                  return true;
                              });
        } catch (...) {
            repeated.flush();
            throw;
        }
        repeated.flush();
    });
    return listed ? std::nullopt : missingMonsterNote(files, monster, difficulty);
}

} // namespace qdc
