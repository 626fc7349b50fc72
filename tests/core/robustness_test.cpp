// Random, mostly malformed data sets: every search either finishes or ends
// with the core's error, and leaves a list in its sorted order.

#include "results/collation.h"
#include "results/error.h"
#include "search/searches.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

class RandomData {
  public:
    explicit RandomData(unsigned seed) : rng_(seed) {}

    std::string pick(const std::vector<std::string>& options) {
        return options[std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(rng_)];
    }
    int number(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string monster() { return pick({"Cave Lurker", "Cow Warden", "", "x:y", "St. Hugo"}); }
    std::string item() {
        return pick(
            {"Ring", "Amulet", "Cap", "Heavy Boots", "Nothing", "Gold", "", "A=B", "St. Hugo"});
    }
    std::string unique() { return pick({"Coil", "Eye: Left", "", "Cap"}); }
    std::string setItem() { return pick({"Hood", "Cowl of Dusk", "Band", ""}); }
    std::string baseSet() { return pick({"Ashen", "Iron", ""}); }
    std::string numberText() {
        return pick({"0.1", "0", "1", "0.00000015", "-0.5", "1E300", "abc", "", " 0.2 ", "2",
                     "0.000000000005", "1.5e-3", "$10", "99", "07", "-100", "983"});
    }
    std::string level() { return pick({"05", "12", "30", "45", "99", "7", "x", "0"}); }
    std::string reduction() { return pick({"000", "050", "983", "12", "x"}); }
    std::string junk() { return pick({"", "-", "- ", ":", ",", "\x1a", ":,", "=", "\xff"}); }

    std::string file(const std::function<std::string()>& line) {
        std::string text;
        const int n = number(0, 8);
        for (int i = 0; i < n; ++i)
            text += (number(0, 9) == 0 ? junk() : line()) + (number(0, 6) == 0 ? "\r\n" : "\n");
        return text;
    }

    qdc::MemoryFileSource dataSet() {
        qdc::MemoryFileSource files;
        files.set("itemlist.txt", file([&] {
                      return item() + "," + pick({"0", "1", "1", "2", ""});
                  }));
        files.set("unilist.txt", file([&] {
                      return unique() + "," + item() + ":" + level() +
                             pick({"", ",", "," + pick({"1", "3", "0", "x"})});
                  }));
        files.set("setlist.txt", file([&] {
                      return number(0, 2) == 0
                                 ? ":" + baseSet() + "," + level()
                                 : setItem() + "," + item() + "," + pick({"1", "3", "3", "0", "x"});
                  }));
        for (const char* d : {"Normal", "Nightmare", "Hell"}) {
            if (number(0, 8) == 0)
                continue; // a missing difficulty folder
            const std::string folder = std::string(d) + "/";
            files.set(folder + "monsterlist.txt", file([&] {
                          return monster() + ":" +
                                 pick({"a.txt", "b.txt", "sub\\c.txt", "none.txt"}) +
                                 pick({",", ";", ":"}) + pick({"0", "1", "3", "9", "x", ""});
                      }));
            files.set(folder + "levels.txt", file([&] {
                          return monster() + ":" + level() + pick({"", "," + reduction()});
                      }));
            for (const char* table : {"a.txt", "b.txt", "sub/c.txt"})
                files.set(folder + table, file([&] {
                              return number(0, 3) == 0 ? "-" : item() + ":" + numberText();
                          }));
        }
        return files;
    }

  private:
    std::mt19937 rng_;
};

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
        RandomData random(seed);
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
