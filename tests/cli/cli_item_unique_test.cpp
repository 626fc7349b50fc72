#include "cli_helpers.h"

#include <gtest/gtest.h>

namespace {

std::string lastLine(const std::string& text) {
    std::string body = text;
    if (!body.empty() && body.back() == '\n')
        body.pop_back();
    const std::size_t nl = body.rfind('\n');
    return nl == std::string::npos ? body : body.substr(nl + 1);
}

// Normal and Nightmare with Cave Lurker and Bog Wight; no Hell folder.
const TempDataDir& data() {
    static const TempDataDir dir{
        {"itemlist.txt", "Short Blade,0\r\nCap,0\r\nRing,0\r\n\r\nAmulet,1\r\nCap,1\r\n"},
        {"unilist.txt", "Tinker's Cap,Cap:30\nCoil of Embers,Ring:27,5\nFrost Band,Ring:50,3\n"
                        "Eye: Left,Amulet:45,3\nLone Cap,Cap:40\n"},
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,3\nBog Wight:act1\\wight.txt,1\n"},
        {"Normal/levels.txt", "Cave Lurker:30\nBog Wight:45\n"},
        {"Normal/lurker.txt", "Nothing:0.6\nShort Blade:0.1\nCap:0.1\n-\nShort Blade:0.05\n"},
        {"Normal/act1/wight.txt", "Ring:0.2\nGold:0.5\n"},
        {"Nightmare/monsterlist.txt", "Cave Lurker:lurker.txt,2\nBog Wight:wight.txt,1\n"},
        {"Nightmare/levels.txt", "Cave Lurker:45\nBog Wight:52\n"},
        {"Nightmare/lurker.txt", "Short Blade:0.1\nCap:0.2\n"},
        {"Nightmare/wight.txt", "Ring:0.1\nShort Blade:0.0000001\n"},
    };
    return dir;
}

} // namespace

TEST(CliItem, EntriesOfEveryChosenDifficulty) {
    const CliRun r = runTool({"--data", data().path(), "--difficulty", "normal,nightmare", "--sort",
                              "name", "item", "Short Blade"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Bog Wight (Nm)=0.00001\n"
                     "Cave Lurker (Nm)=19\n"
                     "Cave Lurker=32.1\n");
    const CliRun chance = runTool({"--data", data().path(), "--difficulty", "normal,nightmare",
                                   "--decimal-separator", ",", "item", "Short Blade"});
    EXPECT_EQ(chance.out, "0.00001=Bog Wight (Nm)\n"
                          "19=Cave Lurker (Nm)\n"
                          "32,1=Cave Lurker\n");
    EXPECT_EQ(runTool({"--data", data().path(), "--difficulty", "", "item", "Short Blade"}).out,
              "");
}

TEST(CliItem, MissingDifficultyFolderKeepsTheEntriesBefore) {
    const CliRun r = runTool({"--data", data().path(), "--difficulty", "normal,hell", "--sort",
                              "name", "item", "Short Blade"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Cave Lurker=32.1\n");
    EXPECT_EQ(lastLine(r.err), "Invalid filename.");
}

TEST(CliUniqueItem, EntriesAndMagicFind) {
    const CliRun r = runTool({"--data", data().path(), "--difficulty", "normal,nightmare", "--sort",
                              "name", "--mf", "200", "unique-item", "Tinker's Cap"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Cave Lurker (Nm)=0.3671200652\n"
                     "Cave Lurker=0.2707552694\n");
    const CliRun ring = runTool({"--data", data().path(), "--difficulty", "normal,nightmare",
                                 "unique-item", "Coil of Embers"});
    EXPECT_EQ(ring.out, "0.0033894738=Bog Wight (Nm)\n"
                        "0.0066804979=Bog Wight\n");
}

TEST(CliUniqueItem, DataErrors) {
    const CliRun mf = runTool({"--data", data().path(), "--mf", "abc", "unique-item", "Lone Cap"});
    EXPECT_EQ(mf.status, 1);
    EXPECT_EQ(mf.out, "");
    EXPECT_EQ(lastLine(mf.err), "'abc' is not a valid integer value.");
    // Magic find -100: the first chance computed (Nightmare's Cave Lurker, the
    // first monster that reaches level 40) divides by zero.
    const CliRun zero = runTool({"--data", data().path(), "--difficulty", "normal,nightmare",
                                 "--mf", "-100", "unique-item", "Lone Cap"});
    EXPECT_EQ(zero.status, 1);
    EXPECT_EQ(zero.out, "");
    EXPECT_EQ(lastLine(zero.err), "Floating point division by zero.");
}

TEST(CliUniqueMonster, EntriesAndErrors) {
    const CliRun r = runTool({"--data", data().path(), "--difficulty", "nightmare", "--sort",
                              "name", "unique-monster", "Cave Lurker"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Lone Cap=0.1340350564\n"
                     "Tinker's Cap=0.1355540316\n");
    const CliRun ring = runTool({"--data", data().path(), "unique-monster", "Bog Wight"});
    EXPECT_EQ(ring.out, "0.0066935483=Coil of Embers\n");
    const CliRun empty = runTool({"--data", "/nonexistent-data", "unique-monster", ""});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
    const CliRun bad = runTool({"--data", data().path(), "--mf", "", "unique-monster", ""});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(lastLine(bad.err), "'' is not a valid integer value.");
    const CliRun hell =
        runTool({"--data", data().path(), "--difficulty", "hell", "unique-monster", "Cave Lurker"});
    EXPECT_EQ(hell.status, 1);
    EXPECT_EQ(lastLine(hell.err), "Invalid filename.");
}

TEST(CliLists, ItemsAndUniques) {
    const CliRun items = runTool({"--data", data().path(), "list", "items"});
    EXPECT_EQ(items.status, 0);
    EXPECT_EQ(items.out, "Short Blade\nCap\nRing\n\nAmulet\nCap\n");
    const CliRun uniques = runTool({"--data", data().path(), "list", "uniques"});
    EXPECT_EQ(uniques.status, 0);
    EXPECT_EQ(uniques.out, "Tinker's Cap\nCoil of Embers\nFrost Band\nEye: Left\nLone Cap\n");
    const TempDataDir blank{{"unilist.txt", "A,Cap:10\n\n,Cap:20\nB\n"}};
    EXPECT_EQ(runTool({"--data", blank.path(), "list", "uniques"}).out, "A\n\n\n\n");
    const CliRun missing = runTool({"--data", "/nonexistent-data", "list", "uniques"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(lastLine(missing.err), "Invalid filename.");
}

TEST(CliExamples, SearchesCoverEveryDifficulty) {
    for (const char* command : {"item", "unique-item"}) {
        const std::string name = std::string(command) == "item" ? "Short Blade" : "Lurker's Fang";
        const CliRun r = runTool({"--data", DROPCALC_EXAMPLES, "--difficulty",
                                  "normal,nightmare,hell", "--sort", "name", command, name});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_NE(r.out.find("Cave Lurker="), std::string::npos) << command;
        EXPECT_NE(r.out.find("Cave Lurker (Nm)="), std::string::npos) << command;
        EXPECT_NE(r.out.find("Cave Lurker (H)="), std::string::npos) << command;
    }
    const CliRun r = runTool({"--data", DROPCALC_EXAMPLES, "--difficulty", "hell", "--sort", "name",
                              "unique-monster", "Ember Drake"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Coil of Embers="), std::string::npos);
}

TEST(CliUniqueMonster, EveryUniqueLineMustHoldALevel) {
    // Each entry line walks the whole unique list and converts every level:
    // the Cap line adds its two entries, then meets the blank unique line.
    const TempDataDir dir{{"itemlist.txt", "Cap,0\nRing,0\n"},
                          {"unilist.txt", "Tinker's Cap,Cap:30\nOld Cap,Cap:05\n\n"},
                          {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                          {"Normal/levels.txt", "Cave Lurker:30\n"},
                          {"Normal/lurker.txt", "Cap:0.1\nRing:0.2\n"}};
    const CliRun r =
        runTool({"--data", dir.path(), "--sort", "name", "unique-monster", "Cave Lurker"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Old Cap=0.02105\nTinker's Cap=0.02\n");
    EXPECT_EQ(lastLine(r.err), "'' is not a valid integer value.");
}
