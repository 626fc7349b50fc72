#include "results/error.h"
#include "search/searches.h"
#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

using qdc::Difficulty;
using qdc::MemoryFileSource;
using qdc::MemoryResultList;
using qdc::SortMode;
using Entries = std::vector<std::string>;

namespace {

SearchOutcome search(MemoryFileSource& files, const std::string& monster, SortMode mode,
                     Difficulty d = Difficulty::Normal, char sep = '.') {
    const qdc::SearchEnv env{files, sep, mode};
    return runSearch(
        [&](qdc::ResultList& list) { return qdc::monsterSearch(env, list, monster, d); });
}

// A data set with one monster whose drop table is `table`.
MemoryFileSource oneMonster(const std::string& table, int picks = 3) {
    return MemoryFileSource{
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt," + std::to_string(picks) + "\n"},
        {"Normal/lurker.txt", table}};
}

} // namespace

TEST(MonsterDropChance, WorkedValues) {
    const struct {
        const char* item;
        double p;
        int picks;
        double chance;
    } cases[] = {
        {"Short Blade", 0.3, 3, 65.7}, {"Short Blade", 0.25, 3, 57.8125},
        {"Gold", 1, 4, 100},           {"Gold", 0.5, 0, 0},
        {"Nothing", 0.5, 0, 0},        {"Nothing", 0.5, 2, 25},
        {"Gold", 0.5, 2, 75},          {"Nothing", 0.5, 1, 50},
        {"nothing", 0.5, 2, 75},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qdc::monsterDropChance(c.item, c.p, c.picks), c.chance) << c.item << c.p;
    EXPECT_EQ(qdc::normalDropChance(0.5, 2), 75);
}

TEST(MonsterSearch, EntriesInBothSortModes) {
    auto files = oneMonster("Nothing:0.6\nShort Blade:0.3\nGold:0.1\n");
    EXPECT_EQ(search(files, "Cave Lurker", SortMode::NameFirst).entries,
              (Entries{"Gold=27.1", "Nothing=21.6", "Short Blade=65.7"}));
    const auto chance = search(files, "Cave Lurker", SortMode::ChanceFirst);
    EXPECT_EQ(chance.entries, (Entries{"21.6=Nothing", "27.1=Gold", "65.7=Short Blade"}));
    EXPECT_EQ(chance.labels, "% Drop Chance|Name");
}

TEST(MonsterSearch, ChanceFirstOrderIsTextual) {
    auto files = oneMonster("A:0.05\nB:0.25\nC:1\n", 1);
    EXPECT_EQ(search(files, "Cave Lurker", SortMode::ChanceFirst).entries,
              (Entries{"100=C", "25=B", "5=A"}));
}

TEST(MonsterSearch, MergesAfterADashLine) {
    const struct {
        const char* table;
        Entries entries;
    } cases[] = {
        {"Short Blade:0.3\n-\nShort Blade:0.05\n", {"Short Blade=70.7"}},
        {"Gold:0.1\nGold:0.1\n", {"Gold=27.1", "Gold=27.1"}},
        {"Gold:0.1\nGold:0.1\n-\nGold:0.05\n", {"Gold=59.2"}},
        {"Gold:0.1\n-\nGold:0.05\nGold:0.05\n", {"Gold=37.1"}},
        {"-\nGold:0.5\nNothing:0.5\n", {"Gold=50", "Nothing=50"}},
        {"Cap:0.1\n-\n", {"Cap=27.1"}},
    };
    for (const auto& c : cases) {
        auto files = oneMonster(c.table);
        EXPECT_EQ(search(files, "Cave Lurker", SortMode::NameFirst).entries, c.entries) << c.table;
    }
}

TEST(MonsterSearch, MergeFlagStaysOnIntoALaterMatchingLine) {
    MemoryFileSource files{
        {"Normal/monsterlist.txt", "Cave Lurker:a.txt,1\nBog Wight:c.txt,1\nCave Lurker:b.txt,2\n"},
        {"Normal/a.txt", "Gold:0.1\n-\n"},
        {"Normal/b.txt", "Gold:0.5\nCap:0.5\nCap:0.5\n"}};
    EXPECT_EQ(search(files, "Cave Lurker", SortMode::NameFirst).entries,
              (Entries{"Cap=150", "Gold=85"}));
}

TEST(MonsterSearch, SmallChancesAndCommaLocale) {
    auto files = oneMonster("Gold:0.00000015\nDust:0.000000000005\nShort.Blade:0.3\n-\n"
                            "Short.Blade:0.00000015\n",
                            1);
    EXPECT_EQ(search(files, "Cave Lurker", SortMode::NameFirst).entries,
              (Entries{"Dust=5E-10", "Gold=0.000015", "Short.Blade=30.000015"}));
    EXPECT_EQ(search(files, "Cave Lurker", SortMode::ChanceFirst, Difficulty::Normal, ',').entries,
              (Entries{"0.000015=Gold", "30,000015=Short,Blade", "5E-10=Dust"}));
}

TEST(MonsterSearch, WhichMonsterAndDifficulty) {
    MemoryFileSource files{{"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                           {"Normal/lurker.txt", "Gold:0.5\n"},
                           {"Hell/monsterlist.txt", "Bog Wight:lurker.txt,1\n"}};
    EXPECT_EQ(search(files, "Cave Lurker", SortMode::NameFirst).entries, Entries{"Gold=50"});
    EXPECT_TRUE(search(files, "[select a monster]", SortMode::NameFirst).entries.empty());
    EXPECT_TRUE(search(files, "cave lurker", SortMode::NameFirst).entries.empty());
    const auto hell = search(files, "Cave Lurker", SortMode::NameFirst, Difficulty::Hell);
    EXPECT_TRUE(hell.entries.empty());
    EXPECT_EQ(hell.error, "");
}

TEST(MonsterSearch, EmptyTextReadsNoFile) {
    MemoryFileSource nothing;
    MemoryResultList list;
    list.add("old entry");
    qdc::monsterSearch({nothing, '.', SortMode::NameFirst}, list, "", Difficulty::Normal);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.nameLabel(), "Name");
}

TEST(MonsterSearch, ErrorsEndTheSearchKeepingEarlierEntries) {
    const struct {
        std::string monsters;
        std::string table;
        Entries entries;
        std::string error;
    } cases[] = {
        {"Cave Lurker:lurker.txt,x\n", "Gold:0.5\n", {}, "'x' is not a valid integer value"},
        {"Cave Lurker:\n", "Gold:0.5\n", {}, "'' is not a valid integer value"},
        {"Cave Lurker:missing.txt,1\n", "", {}, "File not found"},
        {"Cave Lurker:act9\\lurker.txt,1\n", "", {}, "Invalid filename"},
        {"Cave Lurker:lurker.txt,1\n",
         "Gold:0.5\n\nCap:0.5\n",
         {"Gold=50"},
         "'' is not a valid floating point value"},
        {"Cave Lurker:lurker.txt,1\n",
         "Gold:0.5\n\r",
         {"Gold=50"},
         "'' is not a valid floating point value"},
        {"Cave Lurker:lurker.txt,1\n",
         "Gold:0.5\n- \n",
         {"Gold=50"},
         "'- ' is not a valid floating point value"},
        {"Cave Lurker:lurker.txt,1\n",
         "Gold:0.5\nCap:lots\n",
         {"Gold=50"},
         "'lots' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files{{"Normal/monsterlist.txt", c.monsters},
                               {"Normal/lurker.txt", c.table}};
        const auto out = search(files, "Cave Lurker", SortMode::NameFirst);
        EXPECT_EQ(out.entries, c.entries) << c.monsters << c.table;
        EXPECT_EQ(out.error, c.error) << c.monsters << c.table;
        EXPECT_EQ(out.labels, "Name|% Drop Chance");
    }
    MemoryFileSource noList;
    EXPECT_EQ(search(noList, "Cave Lurker", SortMode::NameFirst).error, "Invalid filename");
}

TEST(MonsterSearch, NameHoldingEqualsFailsInAMergeNameFirst) {
    auto files = oneMonster("A=B:0.5\n-\nA=B:0.5\n", 1);
    const auto out = search(files, "Cave Lurker", SortMode::NameFirst);
    EXPECT_EQ(out.entries, Entries{"A=B=50"});
    EXPECT_EQ(out.error, "'B=50' is not a valid floating point value");
    EXPECT_EQ(search(files, "Cave Lurker", SortMode::ChanceFirst).entries, Entries{"100=A=B"});
}

// Names equal but for case keep the order they were added in, also when a
// merge frees a place and adds the merged entry anew.
TEST(MonsterSearch, CaseOnlyTiesKeepTheirOrder) {
    const struct {
        const char* table;
        Entries entries;
    } cases[] = {
        {"Ring:0.5\nRING:0.5\n", {"Ring=50", "RING=50"}},
        {"RING:0.5\nRing:0.5\n", {"RING=50", "Ring=50"}},
        {"ring:0.25\nRING:0.5\n-\nring:0.25\n", {"RING=50", "ring=50"}},
    };
    for (const auto& c : cases) {
        auto files = oneMonster(c.table, 1);
        EXPECT_EQ(search(files, "Cave Lurker", SortMode::NameFirst).ok(), c.entries) << c.table;
    }
}
