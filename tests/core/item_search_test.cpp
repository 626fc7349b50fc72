#include "drop_search_support.h"

#include <gtest/gtest.h>

using qdc::DifficultySet;
using qdc::MemoryFileSource;
using qdc::SortMode;
using Entries = std::vector<std::string>;

namespace {

SearchOutcome itemSearch(MemoryFileSource& files, const std::string& item,
                         DifficultySet difficulties = normalOnly(),
                         SortMode mode = SortMode::NameFirst, char separator = '.') {
    const qdc::SearchEnv env{files, separator, mode};
    return runSearch(
        [&](qdc::ResultList& list) { return qdc::itemSearch(env, list, item, difficulties); });
}

} // namespace

TEST(ItemSearch, OneEntryInBothSortModes) {
    MemoryFileSource files{{"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,3\n"},
                           {"Normal/lurker.txt", "Nothing:0.6\nShort Blade:0.1\nGold:0.3\n"}};
    qdc::MemoryResultList list;
    const qdc::SearchEnv nameFirst{files, '.', SortMode::NameFirst};
    qdc::itemSearch(nameFirst, list, "Short Blade", normalOnly());
    EXPECT_EQ(list.entries(), Entries{"Cave Lurker=27.1"});
    EXPECT_EQ(list.nameLabel(), "Name");
    EXPECT_EQ(list.dropLabel(), "% Drop Chance");
    const qdc::SearchEnv chanceFirst{files, '.', SortMode::ChanceFirst};
    qdc::itemSearch(chanceFirst, list, "Short Blade", normalOnly());
    EXPECT_EQ(list.entries(), Entries{"27.1=Cave Lurker"});
    EXPECT_EQ(list.nameLabel(), "% Drop Chance");
    EXPECT_EQ(list.dropLabel(), "Name");
}

TEST(ItemSearch, Chances) {
    const struct {
        const char* picks;
        const char* table;
        const char* item;
        Entries entries;
    } cases[] = {
        {"3", "Short Blade:0.25", "Short Blade", {"Cave Lurker=57.8125"}},
        {"3", "Short Blade:1", "Short Blade", {"Cave Lurker=100"}},
        {"0", "Short Blade:0.5", "Short Blade", {"Cave Lurker=0"}},
        // No rule for "Nothing".
        {"2", "Nothing:0.5", "Nothing", {"Cave Lurker=75"}},
        {"1", "Short Blade:0.00000001", "Short Blade", {"Cave Lurker=0.000001"}},
        // Before a "-" line the same item gives two entries.
        {"1",
         "Short Blade:0.1\nShort Blade:0.2",
         "Short Blade",
         {"Cave Lurker=10", "Cave Lurker=20"}},
        // Only after a "-" line: one pick.
        {"3", "Gold:0.5\n-\nShort Blade:0.1", "Short Blade", {"Cave Lurker=10"}},
        // Across a "-" line: 19 and 5 merge to 24.
        {"2", "Short Blade:0.1\n-\nShort Blade:0.05", "Short Blade", {"Cave Lurker=24"}},
        // The second line after one "-" line stays an entry of its own.
        {"2",
         "Short Blade:0.1\n-\nShort Blade:0.05\nShort Blade:0.02",
         "Short Blade",
         {"Cave Lurker=2", "Cave Lurker=24"}},
        // A second "-" line merges again.
        {"2",
         "Short Blade:0.1\n-\nShort Blade:0.05\n-\nShort Blade:0.02",
         "Short Blade",
         {"Cave Lurker=26"}},
        // Names are compared exactly; lines that do not name the item are not converted.
        {"1",
         "short blade:0.1\nShort Blade :0.1\nGold:much\n\nShort Blade:0.1",
         "Short Blade",
         {"Cave Lurker=10"}},
        // "-" with a blank after it is an ordinary line.
        {"2",
         "Short Blade:0.1\n- \nShort Blade:0.05",
         "Short Blade",
         {"Cave Lurker=19", "Cave Lurker=9.75"}},
    };
    for (const auto& c : cases) {
        MemoryFileSource files{
            {"Normal/monsterlist.txt", std::string("Cave Lurker:lurker.txt,") + c.picks + "\n"},
            {"Normal/lurker.txt", c.table}};
        const SearchOutcome got = itemSearch(files, c.item);
        EXPECT_EQ(got.error, "") << c.table;
        EXPECT_EQ(got.entries, c.entries) << c.table;
    }
}

TEST(ItemSearch, MergeInChanceFirstModeAndWithCommaSeparator) {
    MemoryFileSource files{{"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,2\n"},
                           {"Normal/lurker.txt", "Short Blade:0.15\n-\nShort Blade:0.05\n"}};
    EXPECT_EQ(itemSearch(files, "Short Blade", normalOnly(), SortMode::ChanceFirst).entries,
              Entries{"32.75=Cave Lurker"});
    EXPECT_EQ(itemSearch(files, "Short Blade", normalOnly(), SortMode::NameFirst, ',').entries,
              Entries{"Cave Lurker=32,75"});
    EXPECT_EQ(itemSearch(files, "Short Blade", normalOnly(), SortMode::ChanceFirst, ',').entries,
              Entries{"32,75=Cave Lurker"});
}

TEST(ItemSearch, CommaSeparatorChangesFullStopsOfItemNames) {
    MemoryFileSource files{{"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                           {"Normal/lurker.txt", "Elixir.Small:0.25\n"}};
    EXPECT_EQ(itemSearch(files, "Elixir,Small", normalOnly(), SortMode::NameFirst, ',').entries,
              Entries{"Cave Lurker=25"});
    EXPECT_EQ(itemSearch(files, "Elixir.Small", normalOnly(), SortMode::NameFirst, ',').entries,
              Entries{});
}

TEST(ItemSearch, MergeFlagWaitsForTheNextLineThatNamesTheItem) {
    // The "-" of the first table is used up by Bog Wight's line, so the second
    // Cave Lurker table does not merge; the last table's line merges with the
    // "-" of its own monster's earlier table (same name, later monster line).
    MemoryFileSource files{
        {"Normal/monsterlist.txt", "Cave Lurker:a.txt,2\n"
                                   "Bog Wight:b.txt,1\n"
                                   "Cave Lurker:c.txt,1\n"
                                   "Tunnel Rat:d.txt,1\n"
                                   "Tunnel Rat:e.txt,1\n"},
        {"Normal/a.txt", "Short Blade:0.1\n-\nGold:0.5\n"},
        {"Normal/b.txt", "Short Blade:0.3\n"},
        {"Normal/c.txt", "Short Blade:0.05\n"},
        {"Normal/d.txt", "Short Blade:0.2\n-\n"},
        {"Normal/e.txt", "Gold:0.2\nShort Blade:0.1\nShort Blade:0.3\n"},
    };
    EXPECT_EQ(itemSearch(files, "Short Blade").entries,
              (Entries{"Bog Wight=30", "Cave Lurker=19", "Cave Lurker=5", "Tunnel Rat=30",
                       "Tunnel Rat=30"}));
}

TEST(ItemSearch, DifficultiesKeepTheirOwnEntries) {
    MemoryFileSource files{{"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,3\n"},
                           {"Normal/lurker.txt", "Short Blade:0.1\n-\n"},
                           {"Nightmare/monsterlist.txt", "Cave Lurker:lurker.txt,2\n"},
                           {"Nightmare/lurker.txt", "Short Blade:0.1\n"},
                           {"Hell/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                           {"Hell/lurker.txt", "Short Blade:0.1\n"}};
    EXPECT_EQ(itemSearch(files, "Short Blade", allDifficulties()).entries,
              (Entries{"Cave Lurker (H)=10", "Cave Lurker (Nm)=19", "Cave Lurker=27.1"}));
    EXPECT_EQ(itemSearch(files, "Short Blade", DifficultySet{false, true, true}).entries,
              (Entries{"Cave Lurker (H)=10", "Cave Lurker (Nm)=19"}));
    // No box ticked: no file is read.
    MemoryFileSource none;
    const SearchOutcome empty = itemSearch(none, "Short Blade", DifficultySet{});
    EXPECT_EQ(empty.error, "");
    EXPECT_EQ(empty.entries, Entries{});
}

TEST(ItemSearch, EmptyItemTextMatchesLinesWithoutAName) {
    MemoryFileSource files{{"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                           {"Normal/lurker.txt", "Gold:0.5\n:0.25\n0.5\n\nShort Blade:0.1\n"}};
    const SearchOutcome got = itemSearch(files, "");
    EXPECT_EQ(got.entries, (Entries{"Cave Lurker=25", "Cave Lurker=50"}));
    EXPECT_EQ(got.error, "'' is not a valid floating point value");
}

TEST(ItemSearch, ErrorsKeepTheEntriesBefore) {
    const struct {
        const char* monsterList;
        const char* entry;
        const char* error;
    } cases[] = {
        // A blank monster line has no picks digit.
        {"Cave Lurker:lurker.txt,1\n\nBog Wight:lurker.txt,1\n", "Cave Lurker=10",
         "'' is not a valid integer value"},
        {"Cave Lurker:lurker.txt,1\nBog Wight:lurker.txt,x\n", "Cave Lurker=10",
         "'x' is not a valid integer value"},
        // Without ":" the whole line is the rest; ending in a digit it names a drop table.
        {"Cave Lurker:lurker.txt,1\nBog Wight lurker.txt,1\n", "Cave Lurker=10", "File not found"},
        {"Cave Lurker:lurker.txt,1\nBog Wight:missing.txt,1\n", "Cave Lurker=10", "File not found"},
        {"Cave Lurker:lurker.txt,1\nBog Wight:act9\\lurker.txt,1\n", "Cave Lurker=10",
         "Invalid filename"},
        {"Cave Lurker:lurker.txt,1\nBog Wight:bad.txt,1\n", "Cave Lurker=10",
         "'0,1' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files{{"Normal/monsterlist.txt", c.monsterList},
                               {"Normal/lurker.txt", "Short Blade:0.1\n"},
                               {"Normal/bad.txt", "Gold:x\nShort Blade:0,1\n"}};
        const SearchOutcome got = itemSearch(files, "Short Blade");
        EXPECT_EQ(got.entries, Entries{c.entry}) << c.monsterList;
        EXPECT_EQ(got.error, c.error) << c.monsterList;
    }
}

TEST(ItemSearch, MissingDifficultyFolderEndsTheSearch) {
    MemoryFileSource files{{"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                           {"Normal/lurker.txt", "Short Blade:0.1\n"},
                           {"Hell/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                           {"Hell/lurker.txt", "Short Blade:0.1\n"}};
    const SearchOutcome got = itemSearch(files, "Short Blade", allDifficulties());
    EXPECT_EQ(got.entries, Entries{"Cave Lurker=10"});
    EXPECT_EQ(got.error, "Invalid filename");
}

// A monster list that could not be read to its end: the monsters before the
// fault are searched, then the fault ends the search.
TEST(ItemSearch, ReadErrorOfTheMonsterListComesAfterTheLinesBeforeIt) {
    struct Source : MemoryFileSource {
        using MemoryFileSource::MemoryFileSource;
        std::shared_ptr<const qdc::FileLines> load(const std::string& path) override {
            if (path != "Normal/monsterlist.txt")
                return MemoryFileSource::load(path);
            return qdc::makeFileLines("Cave Lurker:lurker.txt,1\n", qdc::DropError("I/O error 5"));
        }
    } files{{"Normal/lurker.txt", "Gold:0.5\n"}};
    const SearchOutcome out = itemSearch(files, "Gold");
    EXPECT_EQ(out.entries, Entries{"Cave Lurker=50"});
    EXPECT_EQ(out.error, "I/O error 5");
}

// Monster lines that name one table share one walk of it; each takes from it
// what its own walk would: its picks, the lines its level lets it take, the
// lines before a "Cow" stop, and the error it would reach.
TEST(ItemSearches, MonstersSharingATableTakeWhatTheirOwnWalkWould) {
    using Run = std::function<void(const qdc::SearchEnv&, qdc::ResultList&)>;
    const Run band = [](auto& env, auto& list) {
        qdc::uniqueItemSearch(env, list, "Band", normalOnly(), "0");
    };
    const Run cowRing = [](auto& env, auto& list) {
        qdc::setItemSearch(env, list, "Iron", "Cow Ring", normalOnly(), "0");
    };
    const Run ring = [](auto& env, auto& list) {
        qdc::itemSearch(env, list, "Ring", normalOnly());
    };
    const struct {
        Run search;
        const char* monsters;
        const char* table;
        const char* result; // entries, then the error and its line
    } cases[] = {
        {band, "Bat:t.txt,1\nCave Lurker:t.txt,3\nBat:t.txt,1\nCave Lurker:t.txt,3\n",
         "Ring:0.5\n-\nRing:0.25\n", "Cave Lurker=0.1530221662|"},
        // Bat is below the unique's level: it never converts the Ring lines.
        {band, "Bat:t.txt,1\nCave Lurker:t.txt,3\n", "Ring:0.5\nRing:x\n",
         "Cave Lurker=0.0655788797|'x' is not a valid floating point value 2"},
        {cowRing, "Cave Lurker:t.txt,1\nCow Herd:t.txt,1\nCave Lurker:t.txt,1\n",
         "Ring:0.5\nGold:y\n", "Cow Herd=0.10344825|'y' is not a valid floating point value 2"},
        {cowRing, "Cave Lurker:t.txt,1\nBat:t.txt,1\nCow Herd:t.txt,1\n",
         "-\nRing:0.5\nRing:0.5\nGold:y\n", "|'y' is not a valid floating point value 4"},
        {ring, "A:t.txt,1\nB:t.txt,3\nA:t.txt,1\n", "Ring:0.5\n-\nRing:0.5\n", "A=200 B=137.5|"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files{{"itemlist.txt", "Ring,1\nCap,0\n"},
                               {"unilist.txt", "Band,Ring:30,4\n"},
                               {"setlist.txt", ":Iron,30\nIron Ring,Ring,3\nCow Ring,Ring,3\n"},
                               {"Normal/monsterlist.txt", c.monsters},
                               {"Normal/levels.txt", "Bat:10\nCave Lurker:45\nCow Herd:45\n"},
                               {"Normal/t.txt", c.table}};
        const SearchOutcome out = runSearch([&](qdc::ResultList& list) {
            c.search({files, '.', SortMode::NameFirst}, list);
        });
        std::string result;
        for (const std::string& entry : out.entries)
            result += (result.empty() ? "" : " ") + entry;
        result += "|" + out.error;
        if (out.location && out.location->path == "Normal/t.txt")
            result += " " + std::to_string(out.location->line);
        EXPECT_EQ(result, c.result) << c.monsters << c.table;
    }
}
