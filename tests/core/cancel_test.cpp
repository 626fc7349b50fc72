#include "data/filesource.h"
#include "results/resultlist.h"
#include "search/searches.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

using qdc::DifficultySet;
using qdc::MemoryResultList;
using qdc::SearchEnv;

namespace {

// Sets the flag as the file at `trigger` is loaded: the search is cancelled
// while it runs, before the first line of that file.
class CancellingSource : public qdc::FileSource {
  public:
    CancellingSource(qdc::FileSource& files, std::string trigger, std::atomic<bool>& flag)
        : files_(files), trigger_(std::move(trigger)), flag_(flag) {}
    std::shared_ptr<const qdc::FileLines> load(const std::string& path) override {
        if (path == trigger_)
            flag_ = true;
        return files_.load(path);
    }

  private:
    qdc::FileSource& files_;
    std::string trigger_;
    std::atomic<bool>& flag_;
};

qdc::MemoryFileSource sampleData() {
    return {
        {"Normal/monsterlist.txt", "Rat:rat.txt,1\nBat:bat.txt,1\n"},
        {"Normal/rat.txt", "Ring:0.5\nCap:0.25\n"},
        {"Normal/bat.txt", "Ring:0.1\n"},
        {"Normal/levels.txt", "Rat:10\nBat:10\n"},
        {"itemlist.txt", "Ring,1\nCap,0\n"},
        {"unilist.txt", "Band,Ring:01,5\n"},
        {"setlist.txt", ":Guard,1\nGuard Band,Ring,1\n"},
    };
}

using Search = std::function<void(const SearchEnv&, MemoryResultList&)>;

struct Case {
    std::string name;
    Search search;
    std::string trigger;             // the file whose loading sets the flag mid-search
    std::vector<std::string> before; // the entries written before it
};

std::vector<Case> cases() {
    const DifficultySet normal{true, false, false};
    const auto d = qdc::Difficulty::Normal;
    return {
        {"monster",
         [=](auto& env, auto& list) { qdc::monsterSearch(env, list, "Rat", d); },
         "Normal/rat.txt",
         {}},
        {"item",
         [=](auto& env, auto& list) { qdc::itemSearch(env, list, "Ring", normal); },
         "Normal/bat.txt",
         {"50=Rat"}},
        {"unique item",
         [=](auto& env, auto& list) { qdc::uniqueItemSearch(env, list, "Band", normal, "0"); },
         "Normal/bat.txt",
         {"0.0560606066=Rat"}},
        {"unique monster",
         [=](auto& env, auto& list) { qdc::uniqueMonsterSearch(env, list, "Rat", d, "0"); },
         "unilist.txt",
         {}},
        {"set item",
         [=](auto& env, auto& list) {
             qdc::setItemSearch(env, list, "Guard", "Guard Band", normal, "0");
         },
         "Normal/bat.txt",
         {"0.340136=Rat"}},
        {"set monster",
         [=](auto& env, auto& list) { qdc::setMonsterSearch(env, list, "Rat", d, "0"); },
         "setlist.txt",
         {}},
    };
}

} // namespace

TEST(Cancel, FlagSetBeforeOrDuringEverySearch) {
    for (const Case& c : cases()) {
        qdc::MemoryFileSource data = sampleData();
        // Not set: the search runs to its end.
        std::atomic<bool> unset{false};
        MemoryResultList whole;
        c.search({data, '.', qdc::SortMode::ChanceFirst, &unset}, whole);
        EXPECT_GT(whole.count(), static_cast<int>(c.before.size())) << c.name;

        std::atomic<bool> before{true};
        MemoryResultList list;
        EXPECT_THROW(c.search({data, '.', qdc::SortMode::ChanceFirst, &before}, list),
                     qdc::SearchCancelled)
            << c.name;
        EXPECT_EQ(list.count(), 0) << c.name;

        std::atomic<bool> during{false};
        CancellingSource source(data, c.trigger, during);
        EXPECT_THROW(c.search({source, '.', qdc::SortMode::ChanceFirst, &during}, list),
                     qdc::SearchCancelled)
            << c.name;
        EXPECT_EQ(list.entries(), c.before) << c.name;
    }
}
