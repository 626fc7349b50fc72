#include "drop_search_support.h"

#include <gtest/gtest.h>

using qdc::DifficultySet;
using qdc::MemoryFileSource;
using qdc::SortMode;
using Entries = std::vector<std::string>;

namespace {

// One monster in Normal, Cave Lurker at level 30, whose single pick names a Cap.
MemoryFileSource capData() {
    return MemoryFileSource{{"itemlist.txt", "Cap,0\nHood,1\nRing,0\nAmulet,1\n"},
                            {"unilist.txt", "Tinker's Cap,Cap:30\n"
                                            "Hollow Hood,Hood:25\n"
                                            "Coil of Embers,Ring:27,5\n"
                                            "Dawnstone Loop,Ring:05,5\n"},
                            {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                            {"Normal/levels.txt", "Cave Lurker:30\n"},
                            {"Normal/lurker.txt", "Cap:0.1\n"}};
}

SearchOutcome uniqueItemSearch(MemoryFileSource& files, const std::string& unique,
                               const std::string& mf = "0",
                               DifficultySet difficulties = normalOnly(),
                               SortMode mode = SortMode::NameFirst, char separator = '.') {
    const qdc::SearchEnv env{files, separator, mode};
    return runSearch([&](qdc::ResultList& list) {
        return qdc::uniqueItemSearch(env, list, unique, difficulties, mf);
    });
}

} // namespace

TEST(UniqueItemSearch, WorkedNumbers) {
    MemoryFileSource files = capData();
    EXPECT_EQ(uniqueItemSearch(files, "Tinker's Cap").entries, Entries{"Cave Lurker=0.02"});
    EXPECT_EQ(
        uniqueItemSearch(files, "Tinker's Cap", "0", normalOnly(), SortMode::ChanceFirst).entries,
        Entries{"0.02=Cave Lurker"});
    EXPECT_EQ(uniqueItemSearch(files, "Tinker's Cap", "200").entries,
              Entries{"Cave Lurker=0.0542"});
    EXPECT_EQ(uniqueItemSearch(files, "Tinker's Cap", "200", normalOnly(), SortMode::NameFirst, ',')
                  .entries,
              Entries{"Cave Lurker=0,0542"});

    files.set("Normal/levels.txt", "Cave Lurker:40,983\n");
    files.set("Normal/monsterlist.txt", "Cave Lurker:lurker.txt,2\n");
    files.set("Normal/lurker.txt", "Hood:0.05\n");
    EXPECT_EQ(uniqueItemSearch(files, "Hollow Hood").entries, Entries{"Cave Lurker=0.8448388796"});

    files.set("Normal/levels.txt", "Cave Lurker:45\n");
    files.set("Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n");
    files.set("Normal/lurker.txt", "Ring:0.2\n");
    EXPECT_EQ(uniqueItemSearch(files, "Coil of Embers").entries,
              Entries{"Cave Lurker=0.0066804979"});
}

TEST(UniqueItemSearch, RingBelowTheFirstBandCountsItsWeightWhole) {
    MemoryFileSource files = capData();
    files.set("Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\nTunnel Rat:lurker.txt,1\n");
    files.set("Normal/levels.txt", "Cave Lurker:45\nTunnel Rat:9\n");
    files.set("Normal/lurker.txt", "Ring:0.2\n");
    EXPECT_EQ(uniqueItemSearch(files, "Dawnstone Loop").entries,
              (Entries{"Cave Lurker=0.0069999999", "Tunnel Rat=0.2016129"}));
}

TEST(UniqueItemSearch, LevelGatesTheDropAndItsConversion) {
    MemoryFileSource files = capData();
    files.set("Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\nCave Lurker:lurker.txt,1\n");
    files.set("Normal/levels.txt", "Tunnel Rat:29\nCave Lurker:30\nCave Lurker:10\n");
    // The rat is below level 30: its lines are never converted.
    files.set("Normal/rat.txt", "Cap:0.1\nCap:lots\n");
    files.set("Normal/lurker.txt", "Gold:lots\nCap:0.1\n");
    const SearchOutcome got = uniqueItemSearch(files, "Tinker's Cap");
    EXPECT_EQ(got.error, "");
    EXPECT_EQ(got.entries, Entries{"Cave Lurker=0.02"});
}

TEST(UniqueItemSearch, MonsterWithoutLevelLineIsLevelZero) {
    MemoryFileSource files = capData();
    files.set("unilist.txt", "Tinker's Cap,Cap:00\n");
    files.set("Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\nGhost:lurker.txt,1\n");
    EXPECT_EQ(uniqueItemSearch(files, "Tinker's Cap").entries,
              (Entries{"Cave Lurker=0.021276596", "Ghost=0.02"}));
    // At unique level 30 the ghost (level 0) drops nothing.
    files.set("unilist.txt", "Tinker's Cap,Cap:30\n");
    EXPECT_EQ(uniqueItemSearch(files, "Tinker's Cap").entries, Entries{"Cave Lurker=0.02"});
}

TEST(UniqueItemSearch, MergeAcrossDashLine) {
    MemoryFileSource files = capData();
    files.set("Normal/levels.txt", "Cave Lurker:40,983\n");
    files.set("Normal/monsterlist.txt", "Cave Lurker:lurker.txt,2\n");
    // The part after "-" takes one pick and no reduction.
    files.set("Normal/lurker.txt", "Hood:0.05\n-\nHood:0.05\n");
    EXPECT_EQ(uniqueItemSearch(files, "Hollow Hood").entries, Entries{"Cave Lurker=0.8617880321"});
    EXPECT_EQ(uniqueItemSearch(files, "Hollow Hood", "0", normalOnly(), SortMode::ChanceFirst, ',')
                  .entries,
              Entries{"0,8617880321=Cave Lurker"});
    // Only the first line after one "-" merges.
    files.set("Normal/lurker.txt", "Hood:0.05\n-\nHood:0.05\nHood:0.02\n");
    EXPECT_EQ(uniqueItemSearch(files, "Hollow Hood").entries,
              (Entries{"Cave Lurker=0.006779661", "Cave Lurker=0.8617880321"}));
}

TEST(UniqueItemSearch, DashLastsToTheNextMonsterLineWhileTheMergeFlagWaits) {
    MemoryFileSource files = capData();
    files.set("Normal/levels.txt", "Cave Lurker:40,983\nBog Wight:40,983\n");
    files.set("Normal/monsterlist.txt",
              "Cave Lurker:a.txt,2\nCave Lurker:b.txt,2\nBog Wight:b.txt,2\nCave Lurker:b.txt,2\n");
    files.set("Normal/a.txt", "Hood:0.05\n-\n");
    // The second line of Cave Lurker takes picks 2 and reduction 983 again, and
    // merges with the first; the flag is then off, so nothing else merges.
    files.set("Normal/b.txt", "Hood:0.05\n");
    EXPECT_EQ(uniqueItemSearch(files, "Hollow Hood").entries,
              (Entries{"Bog Wight=0.8448388796", "Cave Lurker=0.8448388796",
                       "Cave Lurker=1.6896777592"}));
}

TEST(UniqueItemSearch, DifficultiesNeverMerge) {
    MemoryFileSource files = capData();
    files.set("Normal/lurker.txt", "Cap:0.1\n-\n");
    files.set("Nightmare/monsterlist.txt", "Cave Lurker:lurker.txt,1\n");
    files.set("Nightmare/levels.txt", "Cave Lurker:30\n");
    files.set("Nightmare/lurker.txt", "Cap:0.1\nCap:0.1\n");
    EXPECT_EQ(
        uniqueItemSearch(files, "Tinker's Cap", "0", DifficultySet{true, true, false}).entries,
        (Entries{"Cave Lurker (Nm)=0.02", "Cave Lurker (Nm)=0.02", "Cave Lurker=0.02"}));
    // Hell is not ticked and has no folder; ticking it ends the search there.
    const SearchOutcome got = uniqueItemSearch(files, "Tinker's Cap", "0", allDifficulties());
    EXPECT_EQ(got.entries.size(), 3u);
    EXPECT_EQ(got.error, "Invalid filename");
}

TEST(UniqueItemSearch, BadMagicFindLeavesTheListUntouched) {
    MemoryFileSource files = capData();
    qdc::MemoryResultList list;
    list.add("Old=1");
    const qdc::SearchEnv env{files, '.', SortMode::ChanceFirst};
    const SearchOutcome got = runSearch(list, [&](qdc::ResultList& l) {
        return qdc::uniqueItemSearch(env, l, "Tinker's Cap", normalOnly(), "20 ");
    });
    EXPECT_EQ(got.error, "'20 ' is not a valid integer value");
    EXPECT_EQ(got.entries, Entries{"Old=1"});
    EXPECT_FALSE(list.sorted());
    EXPECT_EQ(list.nameLabel(), "Name");
}

TEST(UniqueItemSearch, DivisionErrors) {
    const struct {
        const char* itemList;
        const char* levels;
        const char* mf;
        const char* error;
    } cases[] = {
        // No flag for the base item: the quality divisor is 0.
        {"Cap,0 \n", "Cave Lurker:35\n", "0", "Floating point division by zero"},
        {"Hood,1\n", "Cave Lurker:30\n", "0", "Invalid floating point operation"},
        {"Cap,0\n", "Cave Lurker:30\n", "-100", "Floating point division by zero"},
        // Quality value 0.
        {"Cap,0\n", "Cave Lurker:530\n", "0", "Floating point division by zero"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files = capData();
        files.set("itemlist.txt", c.itemList);
        files.set("Normal/levels.txt", c.levels);
        const SearchOutcome got = uniqueItemSearch(files, "Tinker's Cap", c.mf);
        EXPECT_EQ(got.error, c.error) << c.itemList << c.levels << c.mf;
        EXPECT_EQ(got.entries, Entries{});
    }
}

TEST(UniqueItemSearch, ItemListKeyIsTheLineWithoutItsLastTwo) {
    MemoryFileSource files = capData();
    files.set("itemlist.txt", "Long,Blade,0\n");
    files.set("unilist.txt", "Drakebane,Long,Blade:30\n");
    files.set("Normal/lurker.txt", "Long,Blade:0.1\n");
    EXPECT_EQ(uniqueItemSearch(files, "Drakebane").entries, Entries{"Cave Lurker=0.02"});
}

TEST(UniqueItemSearch, DataErrorsKeepTheEntriesBefore) {
    const struct {
        const char* monsterList;
        const char* levels;
        const char* error;
    } cases[] = {
        // The level record is read for every monster line, after its picks.
        {"Cave Lurker:lurker.txt,1\nBog Wight:lurker.txt,1\n", "Cave Lurker:30\nBog Wight:3O\n",
         "'3O' is not a valid integer value"},
        {"Cave Lurker:lurker.txt,1\nBog Wight:lurker.txt,?\n", "Cave Lurker:30\nBog Wight:3O\n",
         "'?' is not a valid integer value"},
        {"Cave Lurker:lurker.txt,1\n\n", "Cave Lurker:30\n", "'' is not a valid integer value"},
        {"Cave Lurker:lurker.txt,1\nBog Wight:bad.txt,1\n", "Cave Lurker:30\nBog Wight:30\n",
         "'0.1.' is not a valid floating point value"},
        {"Cave Lurker:lurker.txt,1\nBog Wight:none.txt,1\n", "Cave Lurker:30\n", "File not found"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files = capData();
        files.set("Normal/monsterlist.txt", c.monsterList);
        files.set("Normal/levels.txt", c.levels);
        files.set("Normal/bad.txt", "Gold:?\nCap:0.1.\n");
        const SearchOutcome got = uniqueItemSearch(files, "Tinker's Cap");
        EXPECT_EQ(got.entries, Entries{"Cave Lurker=0.02"}) << c.monsterList;
        EXPECT_EQ(got.error, c.error) << c.monsterList;
    }
}

TEST(UniqueItemSearch, UnknownUniqueFindsNothing) {
    MemoryFileSource files = capData();
    const SearchOutcome got = uniqueItemSearch(files, "[select a unique item]");
    EXPECT_EQ(got.error, "");
    EXPECT_EQ(got.entries, Entries{});
    // No box ticked: only the two list files are read.
    MemoryFileSource lists{{"itemlist.txt", ""}, {"unilist.txt", ""}};
    EXPECT_EQ(uniqueItemSearch(lists, "Tinker's Cap", "0", DifficultySet{}).error, "");
}
