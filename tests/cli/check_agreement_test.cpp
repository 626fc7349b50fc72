// The checker against the searches on random faulty data: wherever a search
// stops with a data error, the checker reports an error at the same place.
// The searches name that place through DropError::location().

#include "data/difficulty.h"
#include "data/filesource.h"
#include "search/check.h"
#include "search/searches.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

namespace {

using namespace qdc;

const std::vector<std::string> kItems = {"Cap", "Ring", "Amulet", "Belt", "Heavy Boots"};

class FaultyData {
  public:
    explicit FaultyData(unsigned seed) : random_(seed) {
        files_.set("itemlist.txt", itemList());
        files_.set("unilist.txt", uniqueList());
        files_.set("setlist.txt", setList());
        for (const Difficulty d : kAllDifficulties)
            difficulty(difficultyName(d));
    }
    MemoryFileSource& files() { return files_; }
    std::vector<std::string> monsters;
    std::vector<std::string> uniques;
    std::vector<std::pair<std::string, std::string>> setItems;

  private:
    bool chance(int percent) { return std::uniform_int_distribution<>(0, 99)(random_) < percent; }
    int pick(int n) { return std::uniform_int_distribution<>(0, n - 1)(random_); }
    const std::string& item() { return kItems[pick(static_cast<int>(kItems.size()))]; }
    // A piece of text made a fault now and then.
    std::string maybe(const std::string& good) {
        const char* faults[] = {"", "x", "0.o1", "1e", " ,", "$", "-"};
        return chance(8) ? faults[pick(7)] : good;
    }
    std::string number(int limit) { return std::to_string(pick(limit)); }

    std::string itemList() {
        std::string text;
        for (const std::string& name : kItems)
            if (!chance(10))
                text += name + (chance(10) ? "\n" : "," + number(2) + "\n");
        return text;
    }
    std::string uniqueList() {
        std::string text;
        for (int i = 0; i < 4; ++i) {
            uniques.push_back("U" + std::to_string(i));
            text += uniques.back() + "," + item() + ":" + maybe("0" + number(10)) +
                    (chance(60) ? "," + maybe(number(9)) : "") + "\n";
        }
        return text;
    }
    std::string setList() {
        std::string text;
        for (int s = 0; s < 2; ++s) {
            const std::string set = "S" + std::to_string(s);
            text += ":" + set + "," + maybe(number(20)) + "\n";
            for (int i = 0; i < 2; ++i) {
                setItems.emplace_back(set, set + "I" + std::to_string(i));
                text += setItems.back().second + "," + item() + "," + maybe(number(9)) + "\n";
            }
        }
        return text;
    }
    void difficulty(const std::string& folder) {
        std::string list;
        std::string levels;
        for (int m = 0; m < 3; ++m) {
            const std::string name = "M" + std::to_string(m);
            monsters.push_back(name);
            list += name + ":t" + std::to_string(m) + ".txt," + maybe(number(4)) + "\n";
            if (!chance(15))
                levels += name + ":" + maybe(number(30)) + "," + maybe("0" + number(100)) + "\n";
            if (!chance(8))
                files_.set(folder + "/t" + std::to_string(m) + ".txt", table());
        }
        files_.set(folder + "/monsterlist.txt", chance(5) ? list + "\n" : list);
        files_.set(folder + "/levels.txt", levels);
    }
    std::string table() {
        std::string text;
        for (int i = 0; i < 4; ++i)
            text += chance(10) ? "-\n" : item() + ":" + maybe("0.2") + "\n";
        return text;
    }

    std::mt19937 random_;
    MemoryFileSource files_;
};

using Search = std::function<void(const SearchEnv&, ResultList&)>;

std::vector<Search> everySearch(const FaultyData& data) {
    const DifficultySet all{true, true, true};
    std::vector<Search> searches;
    for (const Difficulty d : kAllDifficulties)
        for (const std::string& m : data.monsters) {
            searches.push_back(
                [=](const SearchEnv& e, ResultList& l) { monsterSearch(e, l, m, d); });
            searches.push_back(
                [=](const SearchEnv& e, ResultList& l) { uniqueMonsterSearch(e, l, m, d, "0"); });
            searches.push_back(
                [=](const SearchEnv& e, ResultList& l) { setMonsterSearch(e, l, m, d, "0"); });
        }
    for (const std::string& item : kItems)
        searches.push_back([=](const SearchEnv& e, ResultList& l) { itemSearch(e, l, item, all); });
    for (const std::string& u : data.uniques)
        searches.push_back(
            [=](const SearchEnv& e, ResultList& l) { uniqueItemSearch(e, l, u, all, "0"); });
    for (const auto& pair : data.setItems)
        searches.push_back([=](const SearchEnv& e, ResultList& l) {
            setItemSearch(e, l, pair.first, pair.second, all, "0");
        });
    return searches;
}

// Runs every search on one data set; returns how many stopped.
int compareWithChecker(unsigned seed) {
    FaultyData data(seed);
    const CheckReport report = checkData(data.files(), {}, '.');
    std::set<std::pair<std::string, int>> errors;
    for (const Problem& p : report.problems)
        if (p.severity == Severity::Error)
            errors.emplace(p.path, p.line);
    int failures = 0;
    for (const Search& search : everySearch(data)) {
        MemoryResultList list;
        try {
            search(SearchEnv{data.files(), '.', SortMode::ChanceFirst}, list);
        } catch (const DropError& e) {
            ++failures;
            const ErrorLocation where =
                e.location().value_or(ErrorLocation{"(no location)", -1, ""});
            EXPECT_EQ(errors.count({where.path, where.line}), 1U)
                << "seed " << seed << ": " << where.path << ":" << where.line << ": "
                << e.message();
        }
    }
    return failures;
}

} // namespace

TEST(CheckAgreement, EveryPlaceASearchStopsAtIsAnErrorOfTheChecker) {
    int failures = 0;
    for (unsigned seed = 1; seed <= 300 && !HasFailure(); ++seed)
        failures += compareWithChecker(seed);
    // The data are faulty often enough that many searches stop.
    EXPECT_GT(failures, 300);
}
