#include "drop_search_support.h"

#include <gtest/gtest.h>

using qdc::Difficulty;
using qdc::MemoryFileSource;
using qdc::SortMode;
using Entries = std::vector<std::string>;

namespace {

// Cave Lurker, level 45 in Normal, whose single pick names a Ring.
MemoryFileSource ringData() {
    return MemoryFileSource{{"itemlist.txt", "Cap,0\nHood,1\nRing,0\nAmulet,1\n"},
                            {"unilist.txt", "Coil of Embers,Ring:27,5\n"
                                            "Frost Band,Ring:50,3\n"
                                            "Tinker's Cap,Cap:30\n"
                                            "Hollow Hood,Hood:25\n"},
                            {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                            {"Normal/levels.txt", "Cave Lurker:45\n"},
                            {"Normal/lurker.txt", "Ring:0.2\n"}};
}

SearchOutcome uniqueMonsterSearch(MemoryFileSource& files, const std::string& monster,
                                  const std::string& mf = "0",
                                  Difficulty difficulty = Difficulty::Normal,
                                  SortMode mode = SortMode::NameFirst, char separator = '.') {
    const qdc::SearchEnv env{files, separator, mode};
    return runSearch([&](qdc::ResultList& list) {
        return qdc::uniqueMonsterSearch(env, list, monster, difficulty, mf);
    });
}

} // namespace

TEST(UniqueMonsterSearch, WorkedNumbers) {
    MemoryFileSource files = ringData();
    // Frost Band (level 50) is above the monster's 45.
    EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker").entries,
              Entries{"Coil of Embers=0.0066935483"});
    EXPECT_EQ(
        uniqueMonsterSearch(files, "Cave Lurker", "0", Difficulty::Normal, SortMode::ChanceFirst)
            .entries,
        Entries{"0.0066935483=Coil of Embers"});

    // Every unique of the line's base item that the monster reaches, each with
    // its own weight; a cap line right after takes weight 1 again.
    files.set("unilist.txt", "Coil of Embers,Ring:27,5\nDawnstone Loop,Ring:05,5\n"
                             "Tinker's Cap,Cap:30\n");
    files.set("Normal/lurker.txt", "Ring:0.2\nCap:0.1\n");
    EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker").entries,
              (Entries{"Coil of Embers=0.0066935483", "Dawnstone Loop=0.0070129031",
                       "Tinker's Cap=0.02062"}));
    EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker", "200", Difficulty::Normal,
                                  SortMode::NameFirst, ',')
                  .entries,
              (Entries{"Coil of Embers=0,0181354836", "Dawnstone Loop=0,0190032255",
                       "Tinker's Cap=0,05588"}));
}

TEST(UniqueMonsterSearch, MergeFlagStaysOnAfterTheFirstDash) {
    const struct {
        const char* table;
        Entries entries;
    } cases[] = {
        {"Hood:0.05\n-\nHood:0.05\n", {"Hollow Hood=0.8617880441"}},
        // Every later line merges too.
        {"Hood:0.05\n-\nHood:0.05\nHood:0.02\n", {"Hollow Hood=0.8685680441"}},
        // Two lines before the "-" stay apart until a line after it merges them all.
        {"Hood:0.05\nHood:0.05\n", {"Hollow Hood=0.8448380441", "Hollow Hood=0.8448380441"}},
        {"Hood:0.05\nHood:0.05\n-\nHood:0.05\n", {"Hollow Hood=1.7066260882"}},
    };
    for (const auto& c : cases) {
        MemoryFileSource files = ringData();
        files.set("Normal/levels.txt", "Cave Lurker:40,983\n");
        files.set("Normal/monsterlist.txt", "Cave Lurker:lurker.txt,2\n");
        files.set("Normal/lurker.txt", c.table);
        EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker").entries, c.entries) << c.table;
    }
}

TEST(UniqueMonsterSearch, ReductionStaysZeroAfterADashForTheRestOfTheSearch) {
    MemoryFileSource files = ringData();
    files.set("Normal/levels.txt", "Cave Lurker:40,983\n");
    files.set("Normal/monsterlist.txt",
              "Cave Lurker:a.txt,2\nBog Wight:b.txt,3\nCave Lurker:b.txt,2\n");
    files.set("Normal/a.txt", "-\n");
    files.set("Normal/b.txt", "Hood:0.05\n");
    // Picks 2 of its own line, reduction 0 from the first table's "-".
    EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker").entries,
              Entries{"Hollow Hood=0.033897127"});
}

TEST(UniqueMonsterSearch, EmptyTextOnlyClears) {
    MemoryFileSource none;
    qdc::MemoryResultList list;
    list.add("Old=1");
    const qdc::SearchEnv env{none, '.', SortMode::ChanceFirst};
    const SearchOutcome got = runSearch(list, [&](qdc::ResultList& l) {
        return qdc::uniqueMonsterSearch(env, l, "", Difficulty::Hell, "0");
    });
    EXPECT_EQ(got.error, "");
    EXPECT_EQ(got.entries, Entries{});
    EXPECT_TRUE(list.sorted());
    EXPECT_EQ(list.nameLabel(), "% Drop Chance");
}

TEST(UniqueMonsterSearch, BadMagicFindAfterClearing) {
    MemoryFileSource files = ringData();
    qdc::MemoryResultList list;
    list.add("Old=1");
    const qdc::SearchEnv env{files, '.', SortMode::NameFirst};
    const SearchOutcome got = runSearch(list, [&](qdc::ResultList& l) {
        return qdc::uniqueMonsterSearch(env, l, "Cave Lurker", Difficulty::Normal, "1.5");
    });
    EXPECT_EQ(got.error, "'1.5' is not a valid integer value");
    EXPECT_EQ(got.entries, Entries{});
    EXPECT_TRUE(list.sorted());
    EXPECT_EQ(list.nameLabel(), "Name");
    EXPECT_EQ(list.dropLabel(), "% Drop Chance");
}

TEST(UniqueMonsterSearch, LevelRecordReadOnce) {
    MemoryFileSource files = ringData();
    // Only the selected monster's line is converted; the first one counts.
    files.set("Normal/levels.txt", "Bog Wight:??\nCave Lurker:45\nCave Lurker:60\n");
    EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker").entries,
              Entries{"Coil of Embers=0.0066935483"});
    // Without a level line the monster is level 0.
    files.set("unilist.txt", "Tinker's Cap,Cap:30\nOld Cap,Cap:00\n");
    files.set("Normal/levels.txt", "Bog Wight:45\n");
    files.set("Normal/lurker.txt", "Cap:0.1\n");
    EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker").entries, Entries{"Old Cap=0.02"});
    // The level list is read before the monster list.
    MemoryFileSource empty{{"Normal/monsterlist.txt", ""}};
    EXPECT_EQ(uniqueMonsterSearch(empty, "Cave Lurker").error, "File not found");
}

TEST(UniqueMonsterSearch, UniqueListWalkedForEveryEntryLine) {
    const struct {
        const char* uniques;
        const char* table;
        Entries entries;
        const char* error;
    } cases[] = {
        // Every unique line's level is converted, whatever its base item.
        {"Tinker's Cap,Cap:30\nBad,Belt:zz\n",
         "Cap:0.1\n",
         {"Tinker's Cap=0.02062"},
         "'zz' is not a valid integer value"},
        {"Tinker's Cap,Cap:30\nBad,Belt:zz\n",
         "Gold:0.5\n",
         {},
         "'zz' is not a valid integer value"},
        // A weight is converted only for a ring that is computed.
        {"Frost Band,Ring:50,zz\nCoil of Embers,Ring:27,5\n",
         "Ring:0.2\n",
         {"Coil of Embers=0.0066935483"},
         ""},
        {"Tinker's Cap,Cap:30\nCoil of Embers,Ring:27,zz\n",
         "Cap:0.1\nRing:0.2\n",
         {"Tinker's Cap=0.02062"},
         "'zz' is not a valid integer value"},
        // A drop probability only when a unique is computed from its line.
        {"Tinker's Cap,Cap:30\n",
         "Gold:much\nCap:0.1\nCap:some\n",
         {"Tinker's Cap=0.02062"},
         "'some' is not a valid floating point value"},
        // Each unique takes its own base item's flag; without one the divisor is 0.
        {"Tinker's Cap,Cap:30\nPlain Hat,Hat:30\n",
         "Cap:0.1\nHat:0.1\n",
         {"Tinker's Cap=0.02062"},
         "Floating point division by zero"},
        {"Tinker's Cap,Cap:30\nPlain Hat,Hat:45\n",
         "Cap:0.1\nHat:0.1\n",
         {"Tinker's Cap=0.02062"},
         "Invalid floating point operation"},
        // The item-list key is the text before the first ",".
        {"Drakebane,Long,Blade:30\n", "Long,Blade:0.1\n", {}, "Floating point division by zero"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files = ringData();
        files.set("itemlist.txt", "Cap,0\nRing,0\nLong,Blade,0\n");
        files.set("unilist.txt", c.uniques);
        files.set("Normal/lurker.txt", c.table);
        const SearchOutcome got = uniqueMonsterSearch(files, "Cave Lurker");
        EXPECT_EQ(got.entries, c.entries) << c.uniques << c.table;
        EXPECT_EQ(got.error, c.error) << c.uniques << c.table;
    }
}

TEST(UniqueMonsterSearch, OneDifficultyNoSuffix) {
    MemoryFileSource files = ringData();
    files.set("Nightmare/monsterlist.txt", "Cave Lurker:lurker.txt,1\n");
    files.set("Nightmare/levels.txt", "Cave Lurker:45\n");
    files.set("Nightmare/lurker.txt", "Ring:0.2\n");
    EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker", "0", Difficulty::Nightmare).entries,
              Entries{"Coil of Embers=0.0066935483"});
    EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker", "0", Difficulty::Hell).error,
              "Invalid filename");
    // Lines of other monsters are cut but not read further.
    files.set("Normal/monsterlist.txt", "\nTunnel Rat:none.txt,x\nCave Lurker:lurker.txt,1\n");
    EXPECT_EQ(uniqueMonsterSearch(files, "Cave Lurker").entries,
              Entries{"Coil of Embers=0.0066935483"});
}

// Lines that repeat the line before while merging is on are summed in one
// step: the entries, their order among ties and an error after them come out
// as merging line by line leaves them.
TEST(UniqueMonsterSearch, RepeatedLinesMergeAsOneByOne) {
    const struct {
        const char* uniques;
        const char* monsters;
        const char* table;
        Entries entries;
        const char* error;
    } cases[] = {
        {"AB,Ring:05,3\nAb,Ring:05,3\nC,Ring:05,2\n",
         "Cave Lurker:lurker.txt,1\n",
         "-\nRing:0.1\nRing:0.1\nRing:0.1\nRing:0.1\nRing:0.1\n",
         {"AB=0.0105193545", "Ab=0.0105193545", "C=0.0070129035"},
         ""},
        {"A,Ring:05,3\nA,Ring:05,3\n",
         "Cave Lurker:lurker.txt,1\n",
         "-\nRing:0.1\nRing:0.1\nRing:0.1\n",
         {"A=0.0126232254"},
         ""},
        {"A,Ring:05,3\nB,Ring:05,3\n",
         "Cave Lurker:lurker.txt,1\n",
         "-\nRing:0.1\nRing:0.1\nRing:0.1\nRing:x\n",
         {"A=0.0063116127", "B=0.0063116127"},
         "'x' is not a valid floating point value"},
        // The run goes on into the next walk of the table, whose picks are 1 too.
        {"A,Ring:05,3\nB,Ring:05,3\n",
         "Cave Lurker:lurker.txt,1\nCave Lurker:lurker.txt,1\n",
         "-\nRing:0.2\nRing:0.2\n",
         {"A=0.0168309672", "B=0.0168309672"},
         ""},
        {"A,Ring:05,3\nB,Ring:05,3\nC,Cap:05\n",
         "Cave Lurker:lurker.txt,1\n",
         "Ring:0.1\nRing:0.1\n-\nRing:0.1\nRing:0.1\nCap:0.1\n",
         {"A=0.0084154836", "B=0.0084154836", "C=0.03488"},
         ""},
    };
    for (const auto& c : cases) {
        MemoryFileSource files{{"itemlist.txt", "Ring,0\nCap,1\n"},
                               {"unilist.txt", c.uniques},
                               {"Normal/monsterlist.txt", c.monsters},
                               {"Normal/levels.txt", "Cave Lurker:45\n"},
                               {"Normal/lurker.txt", c.table}};
        const SearchOutcome out = uniqueMonsterSearch(files, "Cave Lurker");
        EXPECT_EQ(out.entries, c.entries) << c.table;
        EXPECT_EQ(out.error, c.error) << c.table;
    }
}
