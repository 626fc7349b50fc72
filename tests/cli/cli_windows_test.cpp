// What only Windows brings to the tool: names that differ only in case, both
// separators and a trailing one in --data, and arguments beyond the ANSI code
// page. (Links, which only the host can make under Wine, are checked by the
// comparison with the Linux tool.)

#include "cli_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kRatList = "Rat:rat.txt,1\n";

std::string replaced(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

} // namespace

TEST(CliWindows, DataFolderWithEitherSeparatorAndATrailingOne) {
    const TempDataDir data{{"Normal/monsterlist.txt", kRatList}, {"Normal/rat.txt", "Gold:1\n"}};
    const std::string path = data.path();
    for (const std::string& spelt :
         {path, path + "\\", path + "/", path + "\\\\", replaced(path, '\\', '/'),
          replaced(path, '\\', '/') + "/", replaced(path, '/', '\\') + "\\"}) {
        const CliRun r = runTool({"--data", spelt, "monster", "Rat"});
        EXPECT_EQ(r.out, "100=Gold\n") << spelt;
        EXPECT_EQ(r.err, "") << spelt;
    }
    const CliRun missing = runTool({"--data", path + "\\missing\\", "monster", "Rat"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "dropcalc-cli: " + path + "\\missing\\: no such folder\nInvalid filename.\n");
}

TEST(CliWindows, NamesThatDifferOnlyInCaseOpenTheSameFile) {
    const TempDataDir data{{"Normal/monsterlist.txt",
                            "Tunnel Rat:RAT.TXT,1\nEmber Drake:ACT2\\Drake.Txt,4\nBat:bat.txt,1\n"},
                           {"Normal/rat.txt", "Gold:1\n"},
                           {"Normal/act2/drake.txt", "Ring:1\n"},
                           {"Normal/Bat.txt", "Cap:1\n"}};
    const struct {
        const char* monster;
        const char* out;
    } cases[] = {{"Tunnel Rat", "100=Gold\n"}, {"Ember Drake", "100=Ring\n"}, {"Bat", "100=Cap\n"}};
    for (const auto& c : cases)
        EXPECT_EQ(runTool({"--data", data.path(), "monster", c.monster}).out, c.out) << c.monster;
    // The files are named; the checker tells that the names differ, as a
    // file system that minds case would not find them.
    const std::string spelled = " in the folder: where case counts, it is not found\n";
    EXPECT_EQ(runTool({"--data", data.path(), "check"}).out,
              "Hell/levels.txt: error: Invalid filename.\n"
              "Hell/monsterlist.txt: error: Invalid filename.\n"
              "Nightmare/levels.txt: error: Invalid filename.\n"
              "Nightmare/monsterlist.txt: error: Invalid filename.\n"
              "Normal/levels.txt: error: File not found.\n"
              "Normal/monsterlist.txt:1: warning: drop table \"RAT.TXT\" is spelled \"rat.txt\"" +
                  spelled +
                  "Normal/monsterlist.txt:2: warning: drop table \"ACT2\\Drake.Txt\" is spelled "
                  "\"act2\\drake.txt\"" +
                  spelled +
                  "Normal/monsterlist.txt:3: warning: drop table \"bat.txt\" is spelled "
                  "\"Bat.txt\"" +
                  spelled +
                  "itemlist.txt: error: File not found.\n"
                  "setlist.txt: error: File not found.\n"
                  "unilist.txt: error: File not found.\n"
                  "8 errors, 3 warnings in 12 files\n");
}

TEST(CliWindows, ArgumentsBeyondTheAnsiCodePage) {
    const TempDataDir data{};
    const std::filesystem::path folder = std::filesystem::path(data.path()) / u8"d\u00E4t\u00E4";
    std::filesystem::create_directories(folder / "Normal");
    std::ofstream(folder / "Normal/monsterlist.txt", std::ios::binary)
        << "Gr\xC3\xBCne Ratte:r\xC3\xA4t.txt,1\n";
    std::ofstream(folder / u8"Normal/r\u00E4t.txt", std::ios::binary) << "Gold:1\n";
    const std::string utf8Folder = data.path() + "\\d\xC3\xA4t\xC3\xA4";
    const qdc::test::Spawned found =
        runBinary({"--data", utf8Folder, "monster", "Gr\xC3\xBCne Ratte"});
    EXPECT_EQ(found.out, "100=Gold\n");
    EXPECT_EQ(found.err, "");
    const qdc::test::Spawned missing = runBinary({"--data", utf8Folder, "monster", "Gr\xC3\xBCn"});
    EXPECT_EQ(missing.status, 0);
    EXPECT_EQ(missing.err, "dropcalc-cli: note: no monster named \"Gr\xC3\xBCn\" in "
                           "Normal/monsterlist.txt\n");
}
