#include "cli_helpers.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Marks a file of the old folder that the new one leaves out.
const std::string kAbsent = "\x01";

// The old folder: one monster at each difficulty, a unique and a set item
// it drops.
std::map<std::string, std::string> oldData() {
    std::map<std::string, std::string> files = {
        {"itemlist.txt", "Cap,0\nRing,1\n"},
        {"unilist.txt", "Band of Ash,Ring:05,2\n"},
        {"setlist.txt", ":Vigil,3\nVigil Cap,Cap,2\n"},
    };
    for (const char* d : {"Normal", "Nightmare", "Hell"}) {
        files[std::string(d) + "/monsterlist.txt"] = "Rat:rat.txt,1\n";
        files[std::string(d) + "/levels.txt"] = "Rat:10\n";
        files[std::string(d) + "/rat.txt"] = "Nothing:0.5\nCap:0.3\nRing:0.2\n";
    }
    return files;
}

void writeFolder(const TempDataDir& dir, const std::map<std::string, std::string>& files) {
    for (const auto& [path, bytes] : files)
        if (bytes != kAbsent)
            dir.write(path, bytes);
}

struct DiffCase {
    const char* what;
    std::map<std::string, std::string> edits; // of the new folder
    std::vector<std::string> command;         // after "diff OLD NEW"
    int status;
    std::string out; // stdout, or a line it must hold when `exact` is false
    bool exact = true;
    std::string errLast{}; // stderr's last line, when not empty
};

const std::string kNothingChanged =
    "3 monster and difficulty pairs, 0 searches run on both folders (9 read alike files), 0 "
    "entries compared: 0 appeared, 0 vanished, 0 changed\n";

const std::vector<DiffCase> kCases = {
    {"alike folders", {}, {}, 0, kNothingChanged},
    {"a changed entry",
     {{"Normal/rat.txt", "Nothing:0.5\nCap:0.4\nRing:0.2\n"}},
     {"monster", "Rat"},
     1,
     "~ Cap [Normal]  30 % \u2192 40 %  (1 in 3 \u2192 1 in 3)\n"},
    {"an added and a removed entry",
     {{"Hell/rat.txt", "Nothing:0.5\nCap:0.3\nGold:0.2\n"}},
     {"monster", "Rat"},
     0,
     ""},
    {"an added and a removed entry, at the difficulty searched",
     {{"Normal/rat.txt", "Nothing:0.5\nCap:0.3\nGold:0.25\n"}},
     {"monster", "Rat"},
     1,
     "+ Gold [Normal]  25 % (1 in 4)\n- Ring [Normal]  20 % (1 in 5)\n"},
    {"a renamed drop table",
     {{"Normal/monsterlist.txt", "Rat:act1\\rodent.txt,1\n"},
      {"Normal/act1/rodent.txt", "Nothing:0.5\nCap:0.3\nRing:0.2\n"},
      {"Normal/rat.txt", kAbsent}},
     {},
     0,
     kNothingChanged},
    {"a renamed drop table, one search",
     {{"Normal/monsterlist.txt", "Rat:rodent.txt,1\n"},
      {"Normal/rodent.txt", "Nothing:0.5\nCap:0.3\nRing:0.2\n"}},
     {"item", "Ring"},
     0,
     ""},
    {"a monster gone from a difficulty",
     {{"Nightmare/monsterlist.txt", "Bat:rat.txt,1\n"}},
     {},
     1,
     "+ Bat [Nightmare] monster: Nothing  50 % (1 in 2)\n",
     false},
    // Each list that a monster's searches read is compared, not only its
    // drop tables.
    {"a level",
     {{"Normal/levels.txt", "Rat:3\n"}},
     {},
     1,
     "- Rat [Normal] unique-monster: Band of Ash  0.0089386664 % (1 in 11187)\n",
     false},
    {"a unique's weight",
     {{"unilist.txt", "Band of Ash,Ring:05,4\n"}},
     {},
     1,
     "~ Rat [Hell] unique-monster: Band of Ash",
     false},
    {"a set item", {{"setlist.txt", ":Vigil,3\nVigil Cap,Cap,5\n"}}, {}, 1, "set-monster: ", false},
    {"a quality flag", {{"itemlist.txt", "Cap,1\nRing,1\n"}}, {}, 1, "set-monster: ", false},
    {"an error in the new folder",
     {{"Normal/rat.txt", "Nothing:0.5\nCap:0.o3\n"}},
     {},
     2,
     "",
     true,
     "'0.o3' is not a valid floating point value."},
    {"a search that is not one",
     {},
     {"list", "monsters"},
     2,
     "",
     true,
     "Run with --help for usage."},
    {"a search's arguments", {}, {"monster"}, 2, "", true, "Run with --help for usage."},
    {"a search of the data folder", {}, {"check"}, 2, "", true, "Run with --help for usage."},
};

std::string lastLine(const std::string& text) {
    const std::size_t end = text.empty() ? 0 : text.size() - 1;
    const std::size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start + 1));
}

TEST(CliDiff, TellsWhatAnEditChanged) {
    for (const DiffCase& c : kCases) {
        SCOPED_TRACE(c.what);
        const TempDataDir before({});
        const TempDataDir after({});
        std::map<std::string, std::string> edited = oldData();
        writeFolder(before, edited);
        for (const auto& [path, bytes] : c.edits)
            edited[path] = bytes;
        writeFolder(after, edited);
        std::vector<std::string> args = {"diff", before.path(), after.path()};
        args.insert(args.end(), c.command.begin(), c.command.end());
        const CliRun run = runTool(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.exact) {
            EXPECT_EQ(run.out, c.out);
        } else {
            EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
        }
        if (!c.errLast.empty()) {
            EXPECT_EQ(lastLine(run.err), c.errLast);
        }
    }
}

TEST(CliDiff, NamesTheFolderOfAnError) {
    const TempDataDir before({});
    writeFolder(before, oldData());
    const TempDataDir after({});
    std::map<std::string, std::string> edited = oldData();
    edited["Hell/rat.txt"] = "Nothing:x\n";
    writeFolder(after, edited);
    for (const auto& [args, side] :
         {std::pair{std::vector<std::string>{before.path(), after.path()}, "NEW " + after.path()},
          {{after.path(), before.path()}, "OLD " + after.path()}}) {
        std::vector<std::string> words = {"diff"};
        words.insert(words.end(), args.begin(), args.end());
        const CliRun run = runTool(words);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "dropcalc-cli: " + side + ": Hell/rat.txt:1: Nothing:x\n" +
                               "'x' is not a valid floating point value.\n");
    }
}

TEST(CliDiff, RefusesAMagicFindThatDoesNotConvertEvenWhenNothingChanged) {
    const TempDataDir before({});
    writeFolder(before, oldData());
    const CliRun run = runTool({"--mf", "abc", "diff", before.path(), before.path()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "dropcalc-cli: --mf: 'abc' is not a valid integer value.\n"
                       "Run with --help for usage.\n");
}

struct FormatCase {
    const char* format;
    std::vector<std::string> command;
    std::string out;
};

TEST(CliDiff, WritesTsvAndJson) {
    const TempDataDir before({});
    writeFolder(before, oldData());
    const TempDataDir after({});
    std::map<std::string, std::string> edited = oldData();
    edited["Normal/rat.txt"] = "Nothing:0.5\nCap:0.4\n";
    writeFolder(after, edited);
    // A path as a JSON string holds it: a Windows path's "\" doubled.
    const auto inJson = [](std::string path) {
        for (std::size_t at = path.find('\\'); at != std::string::npos;
             at = path.find('\\', at + 2))
            path.insert(at, 1, '\\');
        return path;
    };
    const std::vector<FormatCase> cases = {
        {"tsv",
         {"monster", "Rat"},
         "changed\tCap\tNormal\t30\t40\t3\t3\nvanished\tRing\tNormal\t20\t\t5\t\n"},
        {"json",
         {"set-monster", "Rat"},
         "{\n  \"old\": \"" + inJson(before.path()) + "\",\n  \"new\": \"" + inJson(after.path()) +
             "\",\n  \"search\": \"set-monster\",\n  \"changes\": [\n    {\n"
             "      \"kind\": \"changed\",\n      \"name\": \"Vigil Cap\",\n"
             "      \"difficulty\": \"Normal\",\n      \"old\": {\n"
             "        \"chance\": \"0.0437319\",\n        \"value\": 0.0437319,\n"
             "        \"one_in\": 2287\n      },\n      \"new\": {\n"
             "        \"chance\": \"0.0583092\",\n        \"value\": 0.0583092,\n"
             "        \"one_in\": 1715\n      }\n    }\n  ],\n  \"compared\": {\n"
             "    \"entries\": 1,\n    \"appeared\": 0,\n    \"vanished\": 0,\n"
             "    \"changed\": 1\n  },\n  \"notes\": [],\n  \"error\": null\n}\n"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.format);
        std::vector<std::string> args = {"--format", c.format, "diff", before.path(), after.path()};
        args.insert(args.end(), c.command.begin(), c.command.end());
        const CliRun run = runTool(args);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

} // namespace
