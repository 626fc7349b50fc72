#include "results/error.h"
#include "search/searches.h"
#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

#include <map>

using namespace qdc;

namespace {

using Entries = std::vector<std::string>;

using Outcome = SearchOutcome;

Outcome setItem(MemoryFileSource& files, const std::string& baseSet, const std::string& item,
                DifficultySet difficulties = {true, false, false}, const std::string& mf = "0",
                SortMode mode = SortMode::NameFirst, char sep = '.') {
    return runSearch([&](ResultList& list) {
        return setItemSearch(SearchEnv{files, sep, mode}, list, baseSet, item, difficulties, mf);
    });
}

Outcome setMonster(MemoryFileSource& files, const std::string& monster, const std::string& mf = "0",
                   SortMode mode = SortMode::NameFirst, char sep = '.') {
    return runSearch([&](ResultList& list) {
        return setMonsterSearch(SearchEnv{files, sep, mode}, list, monster, Difficulty::Normal, mf);
    });
}

// Chain Hood (no weight band) with weight 3 and set level 11, flag "0"; Cave
// Lurker of level 11 with one pick.
MemoryFileSource hoodData(const std::string& dropTable) {
    return MemoryFileSource{
        {"setlist.txt", ":Ashen Vigil,11\nAshen Vigil Hood,Chain Hood,3\n"},
        {"itemlist.txt", "Chain Hood,0\nGold,0\n"},
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
        {"Normal/levels.txt", "Cave Lurker:11\n"},
        {"Normal/lurker.txt", dropTable},
    };
}

} // namespace

TEST(SetItemSearch, WorkedChances) {
    MemoryFileSource files = hoodData("Gold:0.2\nChain Hood:0.1\n");
    EXPECT_EQ(setItem(files, "Ashen Vigil", "Ashen Vigil Hood").ok(), Entries{"Cave Lurker=0.05"});
    // A set item that the set list does not hold has no base item.
    EXPECT_EQ(setItem(files, "Ashen Vigil", "Ashen Vigil Cowl").ok(), Entries{});

    MemoryFileSource reduced{
        {"setlist.txt", ":Iron Chorus,30\nIron Chorus Hood,Chain Hood,3\n"},
        {"itemlist.txt", "Chain Hood,1\n"},
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,2\n"},
        // The set searches take the last three characters as the reduction.
        {"Normal/levels.txt", "Cave Lurker:40,0983\n"},
        {"Normal/lurker.txt", "Chain Hood:0.05\n"},
    };
    EXPECT_EQ(setItem(reduced, "Iron Chorus", "Iron Chorus Hood").ok(),
              Entries{"Cave Lurker=1.7039091306"});
}

TEST(SetItemSearch, TheLastLevelLineDecides) {
    MemoryFileSource files = hoodData("Chain Hood:0.1\n");
    files.set("Normal/levels.txt", "Cave Lurker:5\nGhost:bad\nCave Lurker:11\n");
    EXPECT_EQ(setItem(files, "Ashen Vigil", "Ashen Vigil Hood").ok(), Entries{"Cave Lurker=0.05"});
    files.set("Normal/levels.txt", "Cave Lurker:11\nCave Lurker:5\n");
    EXPECT_EQ(setItem(files, "Ashen Vigil", "Ashen Vigil Hood").ok(), Entries{});
    // Every level line of a listed monster is converted.
    files.set("Normal/levels.txt", "Cave Lurker:11\nCave Lurker:x\n");
    EXPECT_EQ(setItem(files, "Ashen Vigil", "Ashen Vigil Hood").error,
              "'x' is not a valid integer value");
}

TEST(SetItemSearch, MonsterWithoutLevelLineIsLevelZero) {
    MemoryFileSource files = hoodData("");
    files.set("Normal/monsterlist.txt", "Deep One:hood.txt,1\nStray:hood.txt,1\n");
    files.set("Normal/levels.txt", "Deep One:40\n");
    files.set("Normal/hood.txt", "Chain Hood:0.1\n");
    // Stray never takes the level of the monster line before it.
    EXPECT_EQ(setItem(files, "Ashen Vigil", "Ashen Vigil Hood").ok(),
              Entries{"Deep One=0.0540541"});
    // With the base-set box still on its prompt no header matches: set level 0.
    EXPECT_EQ(setItem(files, "[select a base set]", "Ashen Vigil Hood").ok(),
              (Entries{"Deep One=0.0555556", "Stray=0.05"}));
}

TEST(SetItemSearch, MergeFlagGoesOffAfterEachMerge) {
    // After the merge the flag is off: the third line is an entry of its own.
    MemoryFileSource files = hoodData("Chain Hood:0.1\n-\nChain Hood:0.1\nChain Hood:0.1\n");
    EXPECT_EQ(setItem(files, "Ashen Vigil", "Ashen Vigil Hood").ok(),
              (Entries{"Cave Lurker=0.05", "Cave Lurker=0.1"}));
    // The flag outlives its drop table and its monster line.
    files.set("Normal/monsterlist.txt", "Cave Lurker:a.txt,1\nCave Lurker:b.txt,1\n");
    files.set("Normal/a.txt", "Chain Hood:0.1\n-\n");
    files.set("Normal/b.txt", "Chain Hood:0.1\nChain Hood:0.1\n");
    EXPECT_EQ(setItem(files, "Ashen Vigil", "Ashen Vigil Hood").ok(),
              (Entries{"Cave Lurker=0.05", "Cave Lurker=0.1"}));
    // A "-" line sets the picks to 1 and the reduction to 0.
    files.set("Normal/monsterlist.txt", "Cave Lurker:c.txt,3\n");
    files.set("Normal/levels.txt", "Cave Lurker:11,500\n");
    files.set("Normal/c.txt", "-\nChain Hood:0.1\n");
    EXPECT_EQ(setItem(files, "Ashen Vigil", "Ashen Vigil Hood").ok(), Entries{"Cave Lurker=0.05"});
}

TEST(SetItemSearch, CowItemsOnlyForCowMonsters) {
    MemoryFileSource files{
        {"setlist.txt", ":Pasture Guard,5\nCowl of Dusk,Cap,2\nPasture Treads,Heavy Boots,3\n"},
        {"itemlist.txt", "Cap,0\nHeavy Boots,0\n"},
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\nCow Warden:cow.txt,1\n"
                                   "Cow Calf:calf.txt,1\nBull Warden:bull.txt,1\n"},
        {"Normal/levels.txt", "Cave Lurker:12\nCow Warden:20\nCow Calf:19\nBull Warden:20\n"},
        // The rest of a skipped drop table is not even converted.
        {"Normal/lurker.txt", "Cap:0.1\nGold:bad\n"},
        {"Normal/cow.txt", "Cap:0.1\nHeavy Boots:0.1\n"},
        {"Normal/calf.txt", "Heavy Boots:0.1\n"},
        {"Normal/bull.txt", "Heavy Boots:0.1\n"},
    };
    EXPECT_EQ(setItem(files, "Pasture Guard", "Cowl of Dusk").ok(),
              Entries{"Cow Warden=0.01041666"});
    files.set("Normal/lurker.txt", "Cap:0.1\n");
    // Heavy Boots weigh 14 for a "Cow" monster from level 20, 7 otherwise.
    EXPECT_EQ(
        setItem(files, "Pasture Guard", "Pasture Treads").ok(),
        (Entries{"Bull Warden=0.0223214143", "Cow Calf=0.0222057857", "Cow Warden=0.0111607071"}));
}

TEST(SetItemSearch, ErrorsKeepTheEntriesBeforeThem) {
    const struct {
        const char* monsters;
        const char* table;
        Entries entries;
        const char* error;
    } cases[] = {
        // Every drop-table line but "-" is converted, whatever its item.
        {"Cave Lurker:lurker.txt,1\n",
         "Chain Hood:0.1\nGold:x\n",
         {"Cave Lurker=0.05"},
         "'x' is not a valid floating point value"},
        {"Cave Lurker:lurker.txt,1\n",
         "Chain Hood:0.1\n\n",
         {"Cave Lurker=0.05"},
         "'' is not a valid floating point value"},
        {"Cave Lurker:lurker.txt,1\nCave Lurker:lurker.txt,x\n",
         "Chain Hood:0.1\n",
         {"Cave Lurker=0.05"},
         "'x' is not a valid integer value"},
        {"Cave Lurker:lurker.txt,1\n\n",
         "Chain Hood:0.1\n",
         {"Cave Lurker=0.05"},
         "'' is not a valid integer value"},
        {"Cave Lurker:lurker.txt,1\nCave Lurker:missing.txt,1\n",
         "Chain Hood:0.1\n",
         {"Cave Lurker=0.05"},
         "File not found"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files = hoodData(c.table);
        files.set("Normal/monsterlist.txt", c.monsters);
        const Outcome out = setItem(files, "Ashen Vigil", "Ashen Vigil Hood");
        EXPECT_EQ(out.entries, c.entries) << c.monsters << c.table;
        EXPECT_EQ(out.error, c.error) << c.monsters << c.table;
    }
}

TEST(SetItemSearch, BadMagicFindLeavesAnEmptyListWithItsLabels) {
    MemoryFileSource files = hoodData("Chain Hood:0.1\n");
    MemoryResultList list;
    list.add("old");
    list.setLabels("A", "B");
    EXPECT_DROP_ERROR(setItemSearch(SearchEnv{files, '.', SortMode::NameFirst}, list, "Ashen Vigil",
                                    "Ashen Vigil Hood", {true, false, false}, "12 "),
                      "'12 ' is not a valid integer value");
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.sorted());
    EXPECT_EQ(list.nameLabel(), "A");

    setItemSearch(SearchEnv{files, '.', SortMode::ChanceFirst}, list, "Ashen Vigil",
                  "Ashen Vigil Hood", {false, false, false}, "0");
    EXPECT_TRUE(list.sorted());
    EXPECT_EQ(list.nameLabel(), "% Drop Chance");
    EXPECT_EQ(list.dropLabel(), "Name");
}

namespace {

// Ashen Vigil Band (Ring, weight 5, set level 30), Ring flag "1", Cave Lurker
// of level 45 with one pick.
MemoryFileSource ringData(const std::string& sets, const std::string& dropTable) {
    return MemoryFileSource{
        {"setlist.txt", sets},
        {"itemlist.txt", "Ring,1\nCap,0\nGold,0\n"},
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\nCow Warden:lurker.txt,1\n"},
        {"Normal/levels.txt", "Cave Lurker:45\nCow Warden:45\n"},
        {"Normal/lurker.txt", dropTable},
    };
}

const std::string kBand = ":Ashen Vigil,30\nAshen Vigil Band,Ring,5\n";

} // namespace

TEST(SetMonsterSearch, WorkedChances) {
    MemoryFileSource files = ringData(kBand, "Gold:0.3\nRing:0.2\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").ok(), Entries{"Ashen Vigil Band=0.0689656"});
}

TEST(SetMonsterSearch, FirstLevelLineAndFirstMonsterLine) {
    MemoryFileSource files = ringData(kBand, "Ring:0.2\n");
    files.set("Normal/levels.txt", "Cave Lurker:45\nCave Lurker:x\n");
    files.set("Normal/monsterlist.txt",
              "Cave Lurker:lurker.txt,1\nCave Lurker:missing.txt,1\nbroken\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").ok(), Entries{"Ashen Vigil Band=0.0689656"});
    files.set("Normal/levels.txt", "Cave Lurker:10\nCave Lurker:45\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").ok(), Entries{});
    files.set("Normal/levels.txt", "Cave Lurker:x,000\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").error, "'x' is not a valid integer value");
}

TEST(SetMonsterSearch, MonsterWithoutLevelLineIsLevelZero) {
    MemoryFileSource files = ringData(kBand + ":Zero,0\nZero Band,Ring,5\n", "Ring:0.2\n");
    files.set("Normal/levels.txt", "Other:50\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").ok(), Entries{"Zero Band=0.1333334"});
}

TEST(SetMonsterSearch, EmptyMonsterReadsNoFile) {
    MemoryFileSource none;
    MemoryResultList list;
    list.add("old");
    setMonsterSearch(SearchEnv{none, '.', SortMode::ChanceFirst}, list, "", Difficulty::Normal,
                     "0");
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.nameLabel(), "% Drop Chance");
}

TEST(SetMonsterSearch, MergeFlagStaysOn) {
    MemoryFileSource files = ringData(kBand, "Ring:0.2\n-\nRing:0.2\nRing:0.2\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").ok(), Entries{"Ashen Vigil Band=0.2068968"});
    // Before the "-" line the same item gives two entries.
    files.set("Normal/lurker.txt", "Ring:0.2\nRing:0.2\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").ok(),
              (Entries{"Ashen Vigil Band=0.0689656", "Ashen Vigil Band=0.0689656"}));
}

TEST(SetMonsterSearch, DashLineDropsTheReductionToZero) {
    MemoryFileSource files = ringData(kBand, "Ring:0.2\n");
    files.set("Normal/levels.txt", "Cave Lurker:45,500\n");
    const Entries reduced = setMonster(files, "Cave Lurker").ok();
    ASSERT_EQ(reduced.size(), 1U);
    EXPECT_NE(reduced[0], "Ashen Vigil Band=0.0689656");
    // After the "-" line the chance is the one of a monster without reduction.
    files.set("Normal/lurker.txt", "-\nRing:0.2\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").ok(), Entries{"Ashen Vigil Band=0.0689656"});
}

TEST(SetMonsterSearch, EverySetItemOfTheBaseItemAtOrAboveItsLevel) {
    MemoryFileSource files = ringData(
        ":A,30\nA Band,Ring,5\nA Loop,Ring,2\nA Cap,Cap,1\n:B,50\nB Band,Ring,5\n", "Ring:0.2\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").ok(),
              (Entries{"A Band=0.0689656", "A Loop=0.0275862"}));
}

TEST(SetMonsterSearch, CowItemsAreSkippedOneByOne) {
    MemoryFileSource files =
        ringData(":P,5\nAlpha Cap,Cap,3\nCowl of Dusk,Cap,2\nOmega Cap,Cap,4\n", "Cap:0.1\n");
    EXPECT_EQ(setMonster(files, "Cave Lurker").ok(),
              (Entries{"Alpha Cap=0.0166667", "Omega Cap=0.0222222"}));
    EXPECT_EQ(setMonster(files, "Cow Warden").ok(),
              (Entries{"Alpha Cap=0.0166667", "Cowl of Dusk=0.0111111", "Omega Cap=0.0222222"}));
}

TEST(SetMonsterSearch, ItemWithoutQualityFlagNeverBorrowsOne) {
    MemoryFileSource files =
        ringData(kBand + "Ashen Vigil Hood,Chain Hood,3\n", "Ring:0.2\nChain Hood:0.1\n");
    const Outcome out = setMonster(files, "Cave Lurker");
    EXPECT_EQ(out.entries, Entries{"Ashen Vigil Band=0.0689656"});
    EXPECT_EQ(out.error, "Floating point division by zero");
}

TEST(SetMonsterSearch, ErrorsKeepTheEntriesBeforeThem) {
    const struct {
        std::string sets;
        const char* table;
        Entries entries;
        const char* error;
    } cases[] = {
        // The set list is walked, and converted, for every drop-table line.
        {kBand + "\nLater,Ring,2\n",
         "Ring:0.2\n",
         {"Ashen Vigil Band=0.0689656"},
         "'' is not a valid integer value"},
        {kBand + ":Broken\n",
         "Ring:0.2\n",
         {"Ashen Vigil Band=0.0689656"},
         "'' is not a valid integer value"},
        {kBand,
         "Ring:0.2\nGold:x\n",
         {"Ashen Vigil Band=0.0689656"},
         "'x' is not a valid floating point value"},
        // A set weight of 0 outside the bands.
        {kBand + ":Z,1\nZero Hood,Gold,0\n",
         "Ring:0.2\nGold:0.1\n",
         {"Ashen Vigil Band=0.0689656"},
         "Invalid floating point operation"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files = ringData(c.sets, c.table);
        const Outcome out = setMonster(files, "Cave Lurker");
        EXPECT_EQ(out.entries, c.entries) << c.sets << c.table;
        EXPECT_EQ(out.error, c.error) << c.sets << c.table;
    }
    // Only "-" lines: neither the item list nor the set list is opened.
    MemoryFileSource files = ringData(kBand, "-\n-\n");
    files.set("setlist.txt", "");
    EXPECT_EQ(setMonster(files, "Cave Lurker").error, "");
}

TEST(SetMonsterSearch, BadMagicFindChangesNothing) {
    MemoryFileSource files = ringData(kBand, "Ring:0.2\n");
    MemoryResultList list;
    list.add("old");
    list.setLabels("A", "B");
    EXPECT_DROP_ERROR(setMonsterSearch(SearchEnv{files, '.', SortMode::NameFirst}, list,
                                       "Cave Lurker", Difficulty::Normal, ""),
                      "'' is not a valid integer value");
    EXPECT_EQ(list.entries(), Entries{"old"});
    EXPECT_FALSE(list.sorted());
    EXPECT_EQ(list.nameLabel(), "A");
}

namespace {

// Counts how often each file is loaded.
class CountingSource : public FileSource {
  public:
    explicit CountingSource(FileSource& inner) : inner_(inner) {}
    std::shared_ptr<const FileLines> load(const std::string& path) override {
        ++loads[path];
        return inner_.load(path);
    }
    std::map<std::string, int> loads;

  private:
    FileSource& inner_;
};

} // namespace

TEST(SetSearches, ReadEachFileOncePerSearch) {
    MemoryFileSource files = ringData(kBand, "Ring:0.2\nGold:0.1\n-\nRing:0.1\n");
    files.set("Normal/monsterlist.txt",
              "Cave Lurker:lurker.txt,1\nCow Warden:lurker.txt,1\nCave Lurker:lurker.txt,1\n");
    CountingSource counting(files);
    MemoryResultList list;
    setMonsterSearch(SearchEnv{counting, '.', SortMode::NameFirst}, list, "Cave Lurker",
                     Difficulty::Normal, "0");
    const std::map<std::string, int> once{{"Normal/levels.txt", 1},
                                          {"Normal/monsterlist.txt", 1},
                                          {"Normal/lurker.txt", 1},
                                          {"itemlist.txt", 1},
                                          {"setlist.txt", 1}};
    EXPECT_EQ(counting.loads, once);
    EXPECT_EQ(list.entries(), Entries{"Ashen Vigil Band=0.1034484"});

    counting.loads.clear();
    setItemSearch(SearchEnv{counting, '.', SortMode::NameFirst}, list, "Ashen Vigil",
                  "Ashen Vigil Band", {true, false, false}, "0");
    EXPECT_EQ(counting.loads, once);
    // The second "-" line of each table merges with every entry of the name.
    EXPECT_EQ(list.entries(), (Entries{"Cave Lurker=0.2068965", "Cow Warden=0.10344825"}));
}
