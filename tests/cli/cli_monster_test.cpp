#include "cli_helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

TempDataDir lurkerData() {
    return TempDataDir{
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,3\r\nBog Wight:act1\\wight.txt,2\r\n"},
        {"Normal/lurker.txt", "Nothing:0.6\nShort Blade:0.3\nGold:0.1\n-\nShort Blade:0.05\n"},
        {"Normal/act1/wight.txt", "Gold:0.5\nElixir.Small:0.25\nCap:oops\nRing:0.1\n"},
        {"Hell/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
        {"Hell/lurker.txt", "Gold:0.00000015\n"},
    };
}

} // namespace

TEST(CliMonster, PrintsTheEntriesInBothSortModes) {
    const auto data = lurkerData();
    const CliRun name =
        runTool({"--data", data.path(), "--sort", "name", "monster", "Cave Lurker"});
    EXPECT_EQ(name.status, 0);
    EXPECT_EQ(name.out, "Gold=27.1\nNothing=21.6\nShort Blade=70.7\n");
    EXPECT_EQ(name.err, "");
    const CliRun chance = runTool({"--data", data.path(), "monster", "Cave Lurker"});
    EXPECT_EQ(chance.out, "21.6=Nothing\n27.1=Gold\n70.7=Short Blade\n");
    const CliRun wide = runTool({"--data", data.path(), "--wide", "monster", "Cave Lurker"});
    EXPECT_EQ(wide.out, "21.6          Nothing\n27.1          Gold\n70.7          Short Blade\n");
    const CliRun hell = runTool({"--data", data.path(), "--difficulty", "hell", "--sort", "name",
                                 "monster", "Cave Lurker"});
    EXPECT_EQ(hell.out, "Gold=0.000015\n");
}

TEST(CliMonster, DataErrorKeepsTheEntriesBeforeIt) {
    const auto data = lurkerData();
    const CliRun r = runTool({"--data", data.path(), "--sort", "name", "--decimal-separator", ",",
                              "monster", "Bog Wight"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Elixir,Small=43,75\nGold=75\n");
    EXPECT_EQ(r.err, "dropcalc-cli: Normal/act1/wight.txt:3: Cap:oops\n"
                     "'oops' is not a valid floating point value.\n");
    const CliRun missing = runTool({"--data", data.path() + "/nowhere", "monster", "Cave Lurker"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "dropcalc-cli: " + data.path() + "/nowhere: no such folder\nInvalid filename.\n");
}

TEST(CliLists, MonsterNamesAndTheirMissingFile) {
    const auto data = lurkerData();
    const CliRun r = runTool({"--data", data.path(), "list", "monsters"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Cave Lurker\nBog Wight\n");
    const auto empty = TempDataDir{{"Normal/other.txt", ""}};
    const CliRun none = runTool({"--data", empty.path(), "list", "monsters"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "dropcalc-cli: Normal/monsterlist.txt\nFile not found.\n");
}

// The built binary, run as a user runs it, on the bundled sample data.
TEST(CliBinary, SampleDataEndToEnd) {
    const std::string command = std::string(DROPCALC_CLI) + " --data '" + DROPCALC_EXAMPLES +
                                "' --sort name monster 'Cave Lurker' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr)
        out += buf;
    const int status = ::pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(out, "Cap=22.1312\nChain Hood=14.2625\nGold=38.5875\nNothing=21.6\n"
                   "Plain Rod=4.4328375\nRing=2.4925125\nShort Blade=32.1\n");
}
