#include "cli_helpers.h"

#include <gtest/gtest.h>

namespace {

TempDataDir setData() {
    return TempDataDir{
        {"setlist.txt", ":Ashen Vigil,11\n"
                        "Ashen Vigil Hood,Chain Hood,3\n"
                        "Ashen Vigil Band,Ring,5\n"
                        ":Pasture Guard,5\n"
                        "Cowl of Dusk,Cap,2\n"},
        {"itemlist.txt", "Chain Hood,0\nRing,1\nCap,0\n"},
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\nCow Warden:cow.txt,1\n"},
        {"Normal/levels.txt", "Cave Lurker:11\nCow Warden:45\n"},
        {"Normal/lurker.txt", "Chain Hood:0.1\nRing:0.2\n"},
        {"Normal/cow.txt", "Cap:0.1\nRing:0.2\n"},
        {"Nightmare/monsterlist.txt", "Cave Lurker:act1\\lurker.txt,1\n"},
        {"Nightmare/levels.txt", "Cave Lurker:45\n"},
        {"Nightmare/act1/lurker.txt", "Chain Hood:0.1\n-\nChain Hood:0.1\n"},
    };
}

std::string lastLine(const std::string& text) {
    std::string trimmed = text;
    if (!trimmed.empty() && trimmed.back() == '\n')
        trimmed.pop_back();
    const std::size_t nl = trimmed.find_last_of('\n');
    return nl == std::string::npos ? trimmed : trimmed.substr(nl + 1);
}

} // namespace

TEST(CliSetItem, SortModesSeparatorsAndDifficulties) {
    const TempDataDir data = setData();
    const struct {
        std::vector<std::string> options;
        const char* out;
        const char* err = "";
    } cases[] = {
        {{"--sort", "name", "--difficulty", "normal,nightmare"},
         "Cave Lurker (Nm)=0.1092896\nCave Lurker=0.05\n"},
        {{"--difficulty", "normal,nightmare"}, "0.05=Cave Lurker\n0.1092896=Cave Lurker (Nm)\n"},
        {{"--difficulty", "nightmare", "--decimal-separator", ","}, "0,1092896=Cave Lurker (Nm)\n"},
        {{"--sort", "name", "--mf", "200"}, "Cave Lurker=0.1415146\n"},
        {{"--sort", "name", "--difficulty", ""},
         "",
         "dropcalc-cli: note: no difficulty is chosen\n"},
        {{"--sort", "name", "--wide"}, "Cave Lurker          0.05\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"--data", data.path()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {"set-item", "Ashen Vigil", "Ashen Vigil Hood"});
        const CliRun r = runTool(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << c.out;
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(CliSetItem, CowItemOnlyForCowMonsters) {
    const TempDataDir data = setData();
    const CliRun r = runTool(
        {"--data", data.path(), "--sort", "name", "set-item", "Pasture Guard", "Cowl of Dusk"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Cow Warden=0.01111112\n");
}

TEST(CliSetItem, DataErrorKeepsTheEntriesBeforeIt) {
    const TempDataDir data = setData();
    // Hell has no folder.
    CliRun r = runTool({"--data", data.path(), "--sort", "name", "--difficulty", "normal,hell",
                        "set-item", "Ashen Vigil", "Ashen Vigil Hood"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Cave Lurker=0.05\n");
    EXPECT_EQ(lastLine(r.err), "Invalid filename.");

    r = runTool(
        {"--data", data.path(), "--mf", "lots", "set-item", "Ashen Vigil", "Ashen Vigil Hood"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lastLine(r.err), "'lots' is not a valid integer value.");

    data.write("itemlist.txt", "Chain Hood,x\n");
    r = runTool({"--data", data.path(), "set-item", "Ashen Vigil", "Ashen Vigil Hood"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lastLine(r.err), "Invalid floating point operation.");
}

TEST(CliSetMonster, ListsEverySetItemOfTheMonster) {
    const TempDataDir data = setData();
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"--sort", "name", "set-monster", "Cow Warden"},
         "Ashen Vigil Band=0.0724638\nCowl of Dusk=0.0111111\n"},
        {{"set-monster", "Cow Warden"}, "0.0111111=Cowl of Dusk\n0.0724638=Ashen Vigil Band\n"},
        {{"--sort", "name", "set-monster", "Cave Lurker"},
         "Ashen Vigil Band=0.1333334\nAshen Vigil Hood=0.05\n"},
        {{"--sort", "name", "--decimal-separator", ",", "--difficulty", "nightmare", "set-monster",
          "Cave Lurker"},
         "Ashen Vigil Hood=0,1092896\n"},
        {{"set-monster", "Nobody"}, ""},
        {{"set-monster", ""}, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"--data", data.path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun r = runTool(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << c.out;
    }
}

TEST(CliSetMonster, DataErrorKeepsTheEntriesBeforeIt) {
    const TempDataDir data = setData();
    data.write("Normal/cow.txt", "Cap:0.1\nRing:0,2\n");
    const CliRun r =
        runTool({"--data", data.path(), "--sort", "name", "set-monster", "Cow Warden"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Cowl of Dusk=0.0111111\n");
    EXPECT_EQ(lastLine(r.err), "'0,2' is not a valid floating point value.");

    const CliRun usage = runTool(
        {"--data", data.path(), "--difficulty", "normal,hell", "set-monster", "Cow Warden"});
    EXPECT_EQ(usage.status, 2);
}

TEST(CliSetItems, ListsTheBlockOfTheBaseSet) {
    const TempDataDir data = setData();
    CliRun r = runTool({"--data", data.path(), "set-items", "Ashen Vigil"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Ashen Vigil Hood\nAshen Vigil Band\n");
    r = runTool({"--data", data.path(), "set-items", "[select a base set]"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    r = runTool({"--data", data.path(), "list", "base-sets"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Ashen Vigil\nPasture Guard\n");

    data.write("setlist.txt", ":A,1\nX,Cap,1\n\n:NoLevel\n:B,2\n");
    r = runTool({"--data", data.path(), "list", "base-sets"});
    EXPECT_EQ(r.out, "A\n\nB\n");
    r = runTool({"--data", data.path(), "set-items", "A"});
    EXPECT_EQ(r.out, "X\n\n");
    // Every set item with its base set: a line before the first header is
    // nobody's, a header's line is none.
    data.write("setlist.txt", "Lone,Cap,1\n:A,1\nX,Cap,1\n:B,2\nY,Ring,2\n");
    r = runTool({"--data", data.path(), "list", "set-members"});
    EXPECT_EQ(r.out, "X\tA\nY\tB\n");
    r = runTool({"--data", data.path(), "--format", "json", "list", "set-members"});
    EXPECT_NE(r.out.find("\"name\": \"Y\",\n      \"base_set\": \"B\""), std::string::npos)
        << r.out;

    const TempDataDir empty{};
    r = runTool({"--data", empty.path(), "set-items", "A"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lastLine(r.err), "File not found.");
}
