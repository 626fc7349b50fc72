#include "check/searchstops.h"

#include "results/numtext.h"
#include "search/magicfind.h"
#include "search/searches.h"
#include "search/setchance.h"
#include "search/uniquechance.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <tuple>

namespace qdc::stops {

namespace {

bool reaches(const WalkEnd& end, std::size_t walk, int line) {
    return WalkEnd{walk, line} < end;
}

// A monster's level and reduction as a computation on a line takes them: no
// reduction after the "-".
using LevelKey = std::pair<std::int32_t, std::int32_t>;
LevelKey levelKey(const LevelRecord& level, bool afterDash) {
    return {level.level, afterDash ? 0 : level.reduction};
}
// The set searches also take whether the monster's name begins with "Cow".
using SetLevelKey = std::pair<LevelKey, bool>;

// Where a failed computation stands in the order the searches' computations
// are made on a line: the uniques (0) then the set items (1), each by its
// place in the lists; then the search's place among those of the item.
using ComputationOrder = std::tuple<int, std::size_t, std::size_t>;
struct FirstFailure {
    ComputationOrder order;
    Failure failure;
};

// The set item searches of one base item that behave alike: those of its set
// items of one weight at one set level.
struct SetItemSearches {
    std::int32_t weight = 0;
    std::size_t level = 0;    // in the set levels
    std::size_t firstSet = 0; // the first of those set items, in the item's
};

// What the searches that compute with one base item have come to on the
// walk of a difficulty. A search stops at its first computation that fails.
// The item's unique item and set item searches are the same for every
// monster: they fail where the levels they take fail, so levels met before
// need no computation again. The first failure of a unique monster or set
// monster search at some levels is the same for every monster.
struct ItemWalk {
    std::vector<std::size_t> openUniques;      // the unique item searches not stopped
    std::vector<SetItemSearches> openSetItems; // the set item searches not stopped
    std::set<LevelKey> uniqueItemLevels;       // the levels computed with
    std::set<SetLevelKey> setItemLevels;
    std::map<LevelKey, std::optional<FirstFailure>> uniqueMonsterFailure;
    std::map<SetLevelKey, std::optional<FirstFailure>> setMonsterFailure;
};

// Where on a table a monster's own searches first fail (the index of the
// line among the table's prone lines): its unique monster search, and for
// the first monster line of a name its set monster search.
struct MonsterFailures {
    std::optional<std::pair<std::size_t, FirstFailure>> uniqueMonster;
    std::optional<std::pair<std::size_t, FirstFailure>> setMonster;
};
// What a monster brings to those computations: its level records as each
// reading takes them, whether its name begins with "Cow", and whether its
// line is the first of its name.
using MonsterKey = std::tuple<std::array<std::int32_t, 2 * std::size(kReadings)>, bool, bool>;
MonsterKey monsterKey(const Dropper& monster) {
    std::array<std::int32_t, 2 * std::size(kReadings)> levels{};
    for (std::size_t i = 0; i < std::size(kReadings); ++i) {
        // A reading that fails stops the monster's searches before any line.
        levels[2 * i] = monster.levels.failed[i] ? std::numeric_limits<std::int32_t>::min()
                                                 : monster.levels.byReading[i].level;
        levels[2 * i + 1] = monster.levels.byReading[i].reduction;
    }
    return {levels, beginsWithCow(monster.name), monster.firstLineOfName};
}

} // namespace

class SearchStops::Model {
  public:
    Model(ListUses& lists, CachingFileSource& files, ErrorSink& flagErrors, Report report)
        : lists_(lists), flagErrors_(flagErrors),
          report_(std::move(report)), flags_{{files, ItemKey::BeforeComma},
                                             {files, ItemKey::WithoutLastTwo}} {}

    void startDifficulty() {
        itemWalks_.clear();
        monsterFailures_.clear();
        uniqueMonsterStopped_.clear();
        setMonsterStopped_.clear();
        proneBases_.clear();
        for (Base& base : lists_.bases)
            if (prone(base))
                proneBases_.add(base.first);
    }

    const Base* proneItem(std::string_view item) {
        if (!proneBases_.mayHold(item))
            return nullptr;
        const auto base = lists_.bases.find(item);
        return base != lists_.bases.end() && prone(*base) ? &*base : nullptr;
    }

    void walk(const ListWalk& walk) {
        walkOrder_ = &walk.order;
        walksEnd_ = walk.end;
        setItemEnd_ = kNoEnd;
        uniqueItemEnd_ = kNoEnd;
        // A drop-table line whose chance does not convert ends the set item
        // searches' walk.
        for (const auto& [path, uses] : walk.tables)
            if (uses.badLine > 0)
                setItemEnd_ = std::min(setItemEnd_, WalkEnd{uses.firstWalk, uses.badLine});
        walkComputations();
    }

    // Whether a computation with `item` can fail: without a quality flag,
    // with a set weight of 0, or with levels far enough apart to make a
    // quality term 0.
    bool prone(Base& base) {
        std::optional<bool>& prone = base.second.prone;
        const std::vector<SetUse>& sets = base.second.sets;
        if (!prone)
            prone = flagOf(base.first, ItemKey::BeforeComma) == '\0' ||
                    flagOf(base.first, ItemKey::WithoutLastTwo) == '\0' ||
                    std::any_of(sets.begin(), sets.end(),
                                [](const SetUse& s) {
                                    return s.blockWeight == 0 || s.lastCharWeight == 0;
                                }) ||
                    !lists_.eachUnique(
                        base,
                        [](std::uint32_t, const UniqueIndex::Unique& unique) {
                            return unique.weight.has_value();
                        },
                        true);
        return !lists_.tame() || *prone;
    }

    // The error one computation raises, or nothing. A computation that
    // cannot fail is not made: with tame levels, only a divisor or
    // weight of 0 fails it.
    template <class Compute>
    std::optional<Failure> failureOf(const Base& item, std::int32_t divisor, std::int32_t weight,
                                     Compute compute) const {
        if (lists_.tame() && divisor != 0 && weight != 0)
            return std::nullopt;
        try {
            compute();
            return std::nullopt;
        } catch (const DropError& e) {
            return Failure{
                e, divisor == 0  ? "base item " + inQuotes(item.first) + " has no quality flag"
                   : weight == 0 ? "a set item of " + inQuotes(item.first) + " has a weight of 0"
                                 : std::string()};
        }
    }

    // The quality flag of `item` as a search looks it up by `key`.
    char flagOf(const std::string& item, ItemKey key) {
        return flags_[key == ItemKey::BeforeComma ? 0 : 1].lookup(item, flagErrors_);
    }

    // A unique's computation, with magic find 0, at the levels of `level`.
    std::optional<Failure> uniqueFailure(const ProneLine& at, const UniqueIndex::Unique& use,
                                         const LevelKey& level, const Reading& reading,
                                         UniqueChanceForm form) {
        if (use.level > level.first)
            return std::nullopt;
        UniqueChanceInput unique;
        unique.p = at.p;
        unique.picks = 1;
        unique.monsterLevel = level.first;
        unique.qualityReduction = level.second;
        unique.realMagicFind = realUniqueMagicFind(0);
        unique.baseItem = at.item->first;
        unique.uniqueLevel = use.level;
        unique.uniqueWeight = *use.weight;
        unique.quality = uniqueQuality(flagOf(at.item->first, reading.flagKey));
        return failureOf(*at.item, unique.quality.divisor, 1,
                         [&] { uniqueDropChance(unique, form); });
    }

    // A set item's computation, with magic find 0, at the levels of `level`.
    std::optional<Failure> setFailure(const ProneLine& at, const std::string& monster,
                                      const LevelKey& level, std::int32_t setLevel,
                                      std::int32_t weight, const Reading& reading,
                                      SetChanceForm form) {
        if (level.first < setLevel)
            return std::nullopt;
        const SetQuality quality = setQualityFor(flagOf(at.item->first, reading.flagKey));
        SetChanceInput set;
        set.p = at.p;
        set.picks = 1;
        set.realMagicFind = realSetMagicFind(0);
        set.baseItem = at.item->first;
        set.monsterName = monster;
        set.ratio = quality.ratio;
        set.divisor = quality.divisor;
        set.monsterLevel = level.first;
        set.reduction = level.second;
        set.setLevel = setLevel;
        set.setWeight = weight;
        return failureOf(*at.item, quality.divisor, weight, [&] { setDropChance(set, form); });
    }

    ItemWalk& itemWalk(const Base& item) {
        const auto [found, fresh] = itemWalks_.try_emplace(&item);
        ItemWalk& walk = found->second;
        if (!fresh)
            return walk;
        const BaseItem& uses = item.second;
        lists_.eachUnique(item, [&](std::uint32_t u, const UniqueIndex::Unique& unique) {
            if (lists_.lastUniqueLines.contains(unique.line))
                walk.openUniques.push_back(u);
            return true;
        });
        std::vector<std::pair<std::int32_t, std::size_t>> weights; // and their first set item
        for (std::size_t s = 0; s < uses.sets.size(); ++s) {
            const std::optional<std::int32_t>& weight = uses.sets[s].lastCharWeight;
            if (weight && std::none_of(weights.begin(), weights.end(),
                                       [&](const auto& w) { return w.first == *weight; }))
                weights.emplace_back(*weight, s);
        }
        for (const auto& [weight, firstSet] : weights)
            for (std::size_t level = 0; level < lists_.setLevels.size(); ++level)
                walk.openSetItems.push_back({weight, level, firstSet});
        return walk;
    }

    // The unique item searches not stopped yet, at levels not computed with
    // yet: those that fail are stopped.
    void uniqueItemSearches(const ProneLine& at, ItemWalk& walk, const LevelKey& level,
                            std::vector<FirstFailure>& failures) {
        if (!walk.uniqueItemLevels.insert(level).second)
            return;
        std::erase_if(walk.openUniques, [&](std::size_t u) {
            auto failure = uniqueFailure(at, lists_.uniques.unique(static_cast<std::uint32_t>(u)),
                                         level, kUniqueItemReading, UniqueChanceForm::ItemSearch);
            if (failure)
                failures.push_back({{0, u, 0}, std::move(*failure)});
            return failure.has_value();
        });
    }

    // The same for the set item searches.
    void setItemSearches(const ProneLine& at, ItemWalk& walk, const std::string& monster,
                         const SetLevelKey& level, std::vector<FirstFailure>& failures) {
        if (!walk.setItemLevels.insert(level).second)
            return;
        std::erase_if(walk.openSetItems, [&](const SetItemSearches& searches) {
            auto failure = setFailure(at, monster, level.first, lists_.setLevels[searches.level],
                                      searches.weight, kSetItemReading, SetChanceForm::ItemSearch);
            if (failure)
                failures.push_back(
                    {{1, searches.firstSet, 1 + searches.level}, std::move(*failure)});
            return failure.has_value();
        });
    }

    // Where a unique monster search at `level` first fails on the line.
    const std::optional<FirstFailure>& uniqueMonsterFailure(const ProneLine& at, ItemWalk& walk,
                                                            const LevelKey& level) {
        const auto added = walk.uniqueMonsterFailure.try_emplace(level);
        std::optional<FirstFailure>& first = added.first->second;
        // A weight that does not convert ends the search where it is first
        // needed.
        if (added.second)
            lists_.eachUnique(
                *at.item,
                [&](std::uint32_t u, const UniqueIndex::Unique& unique) {
                    if (!unique.weight) {
                        if (unique.level <= level.first)
                            first = FirstFailure{{0, u, 1}, {DropError(""), {}, true}};
                        return !first;
                    }
                    if (auto failure = uniqueFailure(at, unique, level, kUniqueMonsterReading,
                                                     UniqueChanceForm::MonsterSearch))
                        first = FirstFailure{{0, u, 1}, std::move(*failure)};
                    return !first;
                },
                true);
        return first;
    }

    // Where a set monster search at `level` first fails on the line.
    const std::optional<FirstFailure>& setMonsterFailure(const ProneLine& at, ItemWalk& walk,
                                                         const std::string& monster,
                                                         const SetLevelKey& level) {
        const auto [known, fresh] = walk.setMonsterFailure.try_emplace(level);
        const std::vector<SetUse>& sets = at.item->second.sets;
        for (std::size_t s = 0; fresh && s < sets.size() && !known->second; ++s)
            if (sets[s].blockWeight)
                if (auto failure = setFailure(at, monster, level.first, sets[s].blockLevel,
                                              *sets[s].blockWeight, kSetMonsterReading,
                                              SetChanceForm::MonsterSearch))
                    known->second = FirstFailure{{1, s, 0}, std::move(*failure)};
        return known->second;
    }

    // Which searches reach a drop-table line.
    struct Reach {
        bool uniqueItem = false; // the searches that walk the whole monster list
        bool setItem = false;
        bool uniqueMonster = false; // the monster's own
        bool setMonster = false;
    };

    // The computations of the searches on the line for `monster`: each
    // unique's by the unique item search and the monster's unique monster
    // search, each set item's by the monster's set monster search (at the
    // level of its block) and by the set item search at each set level, with
    // magic find 0. Each error is reported once, in the order the searches
    // meet them; the searches they stop compute no more. `reach`: the
    // searches that reach the line.
    void lineComputations(const std::string& path, const ProneLine& at, const Dropper& monster,
                          const Reach& reach) {
        ItemWalk& walk = itemWalk(*at.item);
        const bool cow = beginsWithCow(monster.name);
        const auto levels = [&](const Reading& reading) {
            return levelKey(monster.levels[reading], at.afterDash);
        };
        std::vector<FirstFailure> failures;
        if (reach.uniqueItem)
            uniqueItemSearches(at, walk, levels(kUniqueItemReading), failures);
        if (reach.uniqueMonster && !uniqueMonsterStopped_.contains(monster.name))
            if (const auto& first = uniqueMonsterFailure(at, walk, levels(kUniqueMonsterReading))) {
                failures.push_back(*first);
                uniqueMonsterStopped_.insert(monster.name);
            }
        // The set monster search reads the first monster line of a name.
        if (reach.setMonster && monster.firstLineOfName &&
            !setMonsterStopped_.contains(monster.name))
            if (const auto& first =
                    setMonsterFailure(at, walk, monster.name, {levels(kSetMonsterReading), cow})) {
                failures.push_back(*first);
                setMonsterStopped_.insert(monster.name);
            }
        if (reach.setItem)
            setItemSearches(at, walk, monster.name, {levels(kSetItemReading), cow}, failures);
        std::sort(failures.begin(), failures.end(),
                  [](const FirstFailure& a, const FirstFailure& b) { return a.order < b.order; });
        for (const FirstFailure& f : failures)
            report_(path, at.line, f.failure);
    }

    // The computations on each line of the table that can fail, for
    // `monster`. A monster at the same levels as one before on the table
    // meets no level there that the searches alike for every monster have
    // not met, and its own searches fail where that one's did. `walk`: the
    // monster's place in the walk of the monster list.
    void tableComputations(const Table& table, const Dropper& monster, std::size_t walk) {
        const std::vector<ProneLine>& prone = table.second.prone;
        const auto& badItems = table.second.badItems;
        std::size_t passed = 0;
        const auto passBadItems = [&](int before) {
            for (; passed < badItems.size() && badItems[passed].second < before; ++passed)
                stopUniqueItems(*badItems[passed].first, badItems[passed].second, monster, walk);
        };
        if (prone.empty())
            return passBadItems(std::numeric_limits<int>::max());
        const auto [known, fresh] = monsterFailures_[&table].try_emplace(monsterKey(monster));
        MonsterFailures& first = known->second;
        if (fresh) {
            const int bad = table.second.badLine;
            for (std::size_t i = 0; i < prone.size(); ++i) {
                const int line = prone[i].line;
                passBadItems(line);
                const Reach reach{
                    reaches(uniqueItemEnd_, walk, line), reaches(setItemEnd_, walk, line),
                    !monster.levels.fails(kUniqueMonsterReading) &&
                        (!lists_.uniqueListEnds || line <= table.second.firstStep),
                    !monster.levels.fails(kSetMonsterReading) && (bad == 0 || line < bad) &&
                        (!lists_.setListEnds || line <= table.second.firstStep)};
                lineComputations(table.first, prone[i], monster, reach);
                noteMonsterFailures(prone[i], i, monster, reach, first);
            }
            return passBadItems(std::numeric_limits<int>::max());
        }
        std::vector<std::pair<std::size_t, const FirstFailure*>> failures;
        if (first.uniqueMonster && uniqueMonsterStopped_.insert(monster.name).second)
            failures.emplace_back(first.uniqueMonster->first, &first.uniqueMonster->second);
        if (first.setMonster && setMonsterStopped_.insert(monster.name).second)
            failures.emplace_back(first.setMonster->first, &first.setMonster->second);
        std::sort(failures.begin(), failures.end(), [](const auto& a, const auto& b) {
            return std::tie(a.first, a.second->order) < std::tie(b.first, b.second->order);
        });
        for (const auto& [line, f] : failures)
            report_(table.first, prone[line].line, f->failure);
    }

    // A line of `item` whose chance does not convert stops the unique item
    // searches that take it: those of its uniques at or below the monster's
    // level.
    void stopUniqueItems(const Base& item, int line, const Dropper& monster, std::size_t walk) {
        if (!reaches(uniqueItemEnd_, walk, line))
            return;
        const std::int32_t level = monster.levels[kUniqueItemReading].level;
        std::erase_if(itemWalk(item).openUniques, [&](std::size_t u) {
            return lists_.uniques.unique(static_cast<std::uint32_t>(u)).level <= level;
        });
    }

    // Where on the table the monster's own searches first fail, stopped or
    // not: the line at `index` if not before.
    void noteMonsterFailures(const ProneLine& at, std::size_t index, const Dropper& monster,
                             const Reach& reach, MonsterFailures& first) {
        ItemWalk& walk = itemWalk(*at.item);
        if (reach.uniqueMonster && !first.uniqueMonster)
            if (const auto& failure = uniqueMonsterFailure(
                    at, walk, levelKey(monster.levels[kUniqueMonsterReading], at.afterDash)))
                first.uniqueMonster.emplace(index, *failure);
        if (reach.setMonster && monster.firstLineOfName && !first.setMonster)
            if (const auto& failure =
                    setMonsterFailure(at, walk, monster.name,
                                      {levelKey(monster.levels[kSetMonsterReading], at.afterDash),
                                       beginsWithCow(monster.name)}))
                first.setMonster.emplace(index, *failure);
    }

    // Without itemlist.txt every search that needs a quality flag stops at

    // The computations of the searches on the difficulty's walk.
    void walkComputations() {
        // A search stops at the first computation that fails on its walk;
        // the searches that walk the whole list stop where it ends them.
        // The walks that look up a monster's level end at a lookup that fails.
        for (std::size_t k = 0; k < walkOrder_->size(); ++k) {
            const MonsterLevels& levels =
                (*walkOrder_)[k].first->second.droppers[(*walkOrder_)[k].second].levels;
            if (levels.fails(kSetItemReading))
                setItemEnd_ = std::min(setItemEnd_, WalkEnd{k, 0});
            if (levels.fails(kUniqueItemReading))
                uniqueItemEnd_ = std::min(uniqueItemEnd_, WalkEnd{k, 0});
        }
        setItemEnd_ = std::min(setItemEnd_, walksEnd_);
        uniqueItemEnd_ = std::min(uniqueItemEnd_, walksEnd_);
        for (std::size_t k = 0; k < walkOrder_->size(); ++k) {
            const Table& table = *(*walkOrder_)[k].first;
            const Dropper& monster = table.second.droppers[(*walkOrder_)[k].second];
            tableComputations(table, monster, k);
            if (lists_.uniqueListEnds && table.second.firstStep > 0)
                uniqueMonsterStopped_.insert(monster.name);
        }
    }

    // A monster that one difficulty's monster list names and another's,

  private:
    ListUses& lists_;
    ErrorSink& flagErrors_;
    Report report_;
    // The quality flags by the text before "," and by the line without its
    // last two characters, as the searches look them up.
    QualityFlags flags_[2];
    NameSigns proneBases_; // of the base items whose computations can fail
    // Of the difficulty walked: its walk, where the walks end, what the
    // searches of each base item have come to, and the monsters whose unique
    // monster and set monster searches have stopped.
    const std::vector<std::pair<const Table*, std::size_t>>* walkOrder_ = nullptr;
    WalkEnd walksEnd_ = kNoEnd;
    WalkEnd setItemEnd_ = kNoEnd; // where the set item searches' walk ends
    WalkEnd uniqueItemEnd_ = kNoEnd;
    std::unordered_map<const Base*, ItemWalk> itemWalks_;
    std::unordered_map<const Table*, std::map<MonsterKey, MonsterFailures>> monsterFailures_;
    TextSet uniqueMonsterStopped_;
    TextSet setMonsterStopped_;
};

SearchStops::SearchStops(ListUses& lists, CachingFileSource& files, ErrorSink& flagErrors,
                         Report report)
    : model_(std::make_unique<Model>(lists, files, flagErrors, std::move(report))) {}

SearchStops::~SearchStops() = default;

char SearchStops::flagOf(const std::string& item, ItemKey key) {
    return model_->flagOf(item, key);
}

void SearchStops::startDifficulty() {
    model_->startDifficulty();
}

const Base* SearchStops::proneItem(std::string_view item) {
    return model_->proneItem(item);
}

void SearchStops::walk(const ListWalk& walk) {
    model_->walk(walk);
}

} // namespace qdc::stops
