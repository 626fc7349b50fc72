// Random, mostly malformed data sets: every search either finishes or ends
// with the core's error, and leaves a list in its sorted order.

#include "results/collation.h"
#include "results/error.h"
#include "search/searches.h"
#include "tests/core/random_data.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

bool isSorted(const qdc::MemoryResultList& list) {
    for (int i = 0; i + 1 < list.count(); ++i)
        if (qdc::collate(list.at(i), list.at(i + 1)) > 0)
            return false;
    return true;
}

using Search = std::function<void(const qdc::SearchEnv&, qdc::ResultList&, RandomData&)>;

void runRandomly(const Search& search) {
    int entries = 0;
    int errors = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomData random(seed, seed % 4 == 0);
        qdc::MemoryFileSource files = random.dataSet();
        for (const char sep : {'.', ','}) {
            for (const auto mode : {qdc::SortMode::NameFirst, qdc::SortMode::ChanceFirst}) {
                qdc::MemoryResultList list;
                const qdc::SearchEnv env{files, sep, mode};
                try {
                    search(env, list, random);
                } catch (const qdc::DropError&) {
                    // A data error is a fine end; anything else fails the test.
                    ++errors;
                }
                entries += list.count();
                EXPECT_TRUE(isSorted(list)) << "seed " << seed;
            }
        }
    }
    // The data sets reach both ends: searches that list entries and ones that fail.
    EXPECT_GT(entries, 0);
    EXPECT_GT(errors, 0);
}

qdc::Difficulty anyDifficulty(RandomData& r) {
    return qdc::kAllDifficulties[r.number(0, 2)];
}

} // namespace

TEST(RandomData, MonsterSearch) {
    runRandomly([](const qdc::SearchEnv& env, qdc::ResultList& list, RandomData& r) {
        qdc::monsterSearch(env, list, r.monster(), anyDifficulty(r));
    });
}

TEST(RandomData, ItemSearch) {
    runRandomly([](const qdc::SearchEnv& env, qdc::ResultList& list, RandomData& r) {
        qdc::itemSearch(env, list, r.item(), {r.number(0, 1) == 1, r.number(0, 1) == 1, true});
    });
}

TEST(RandomData, UniqueSearches) {
    runRandomly([](const qdc::SearchEnv& env, qdc::ResultList& list, RandomData& r) {
        if (r.number(0, 1) == 0)
            qdc::uniqueItemSearch(env, list, r.unique(), {true, r.number(0, 1) == 1, true},
                                  r.pick({"0", "200", "-100", "x", "999999"}));
        else
            qdc::uniqueMonsterSearch(env, list, r.monster(), anyDifficulty(r),
                                     r.pick({"0", "200", "-100", "x", "999999"}));
    });
}

TEST(RandomData, SetSearches) {
    runRandomly([](const qdc::SearchEnv& env, qdc::ResultList& list, RandomData& r) {
        if (r.number(0, 1) == 0)
            qdc::setItemSearch(env, list, r.baseSet(), r.setItem(),
                               {true, r.number(0, 1) == 1, true},
                               r.pick({"0", "200", "-100", "x", "999999"}));
        else
            qdc::setMonsterSearch(env, list, r.monster(), anyDifficulty(r),
                                  r.pick({"0", "200", "-100", "x", "999999"}));
    });
}

TEST(RandomData, BaseSetChoice) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomData random(seed);
        qdc::MemoryFileSource files = random.dataSet();
        qdc::SetItemChoice choice;
        EXPECT_NO_THROW(qdc::chooseBaseSet(files, random.baseSet(), choice)) << seed;
    }
}
