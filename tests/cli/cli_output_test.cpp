#include "cli/output.h"
#include "cli_helpers.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <streambuf>

using qdc::DropError;
using qdc::ErrorLocation;

namespace {

TempDataDir faultyTable() {
    return TempDataDir{
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
        {"Normal/lurker.txt", std::string("Gold:0.5\nCap:0.\0"
                                          "5\n",
                                          17)},
    };
}

// A stream buffer whose every write fails, as on a full disk.
class FullDisk : public std::streambuf {
  protected:
    int_type overflow(int_type /*c*/) override { return traits_type::eof(); }
    std::streamsize xsputn(const char* /*s*/, std::streamsize /*n*/) override { return 0; }
};

} // namespace

TEST(CliFormat, TsvAndJsonOfEachShape) {
    const std::string data = DROPCALC_EXAMPLES;
    // A name that holds "=" stays whole.
    const TempDataDir equals{{"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                             {"Normal/lurker.txt", "A=B:0.5\n"}};
    struct Case {
        std::vector<std::string> args;
        std::string out;
        std::string dataDir = {}; // the examples when empty
    };
    const std::vector<Case> cases = {
        {{"--format", "tsv", "--difficulty", "hell", "--sort", "name", "item", "Cap"},
         "Cave Lurker (H)\t22.1312\nCow Warden (H)\t22.56\n"},
        {{"--format", "tsv", "--wide", "item", "Cap"}, "Cave Lurker\t22.1312\nCow Warden\t22.56\n"},
        {{"--sort", "highest", "--difficulty", "normal,hell", "item", "Ring"},
         "38.360704=Ember Drake\n38.360704=Ember Drake (H)\n7.84=Bog Wight\n7.84=Bog Wight (H)\n"
         "2.4925125=Cave Lurker\n2.4925125=Cave Lurker (H)\n"},
        {{"--sort", "highest", "--wide", "--format", "tsv", "monster", "Tunnel Rat"},
         "Nothing\t70\nGold\t20\nShort Blade\t6\nMinor Elixir\t4\n"},
        {{"--format", "json", "--decimal-separator", ",", "--difficulty", "hell", "item", "Cap"},
         "{\n  \"heading\": \"Cap \u00b7 Hell \u00b7 2 entries\",\n  \"entries\": [\n    {\n"
         "      \"name\": \"Cave Lurker (H)\",\n      \"chance\": \"22,1312\",\n"
         "      \"value\": 22.1312,\n      \"one_in\": 5,\n      \"kills_90\": 10,\n"
         "      \"difficulty\": \"Hell\",\n      \"plain_name\": \"Cave Lurker\"\n    },\n"
         "    {\n      \"name\": \"Cow Warden (H)\",\n      \"chance\": \"22,56\",\n"
         "      \"value\": 22.56,\n      \"one_in\": 4,\n      \"kills_90\": 10,\n"
         "      \"difficulty\": \"Hell\",\n      \"plain_name\": \"Cow Warden\"\n    }\n  ],\n"
         "  \"notes\": [],\n  \"suggestions\": null,\n  \"error\": null\n}\n"},
        {{"--one-in", "--sort", "highest", "monster", "Tunnel Rat"},
         "70=Nothing (1 in 1)\n20=Gold (1 in 5)\n6=Short Blade (1 in 17)\n4=Minor Elixir (1 in "
         "25)\n"},
        {{"--one-in", "--format", "tsv", "--wide", "--decimal-separator", ",", "item", "Cap"},
         "Cave Lurker\t22,1312\t5\nCow Warden\t22,56\t4\n"},
        {{"--format", "tsv", "set-items", "Pasture Guard"},
         "Cowl of Dusk\nCowherd's Treads\nPasture Gauntlets\n"},
        {{"--format", "tsv", "mf", "200"}, "unique\t171\nset\t183\nrare\t185\n"},
        {{"--format", "json", "mf", "x"},
         "{\n  \"entries\": [],\n  \"notes\": [\n    \"--data does not change the magic find "
         "calculator\"\n  ],\n  \"error\": {\n    \"message\": \"'x' is not a valid integer "
         "value.\",\n    \"path\": null,\n    \"line\": null,\n    \"text\": null,\n"
         "    \"named_by\": null,\n    \"detail\": null,\n    \"hint\": null,\n    \"stopped\": "
         "\"Stopped by an error: the list holds only the entries found before it.\"\n  }\n}\n"},
        {{"--format", "tsv", "monster", "Cave Lurker"}, "A=B\t50\n", equals.path()},
        {{"--format", "json", "--sort", "name", "monster", "Cave Lurker"},
         "{\n  \"heading\": \"Cave Lurker \u00b7 Normal \u00b7 1 entry\",\n  \"entries\": [\n"
         "    {\n      \"name\": \"A=B\",\n      \"chance\": \"50\",\n      \"value\": 50.0,\n"
         "      \"one_in\": 2,\n      \"kills_90\": 4,\n      \"difficulty\": \"Normal\",\n"
         "      \"plain_name\": \"A=B\"\n    }\n  ],\n  \"notes\": [],\n  \"suggestions\": null,\n "
         " \"error\": null\n}\n",
         equals.path()},
        {{"--format", "tsv", "--wide", "--sort", "name", "monster", "Cave Lurker"},
         "A=B\t50\n",
         equals.path()},
        {{"--format", "csv", "--wide", "monster", "Cave Lurker"},
         "Name,Difficulty,% Drop Chance,1 in N,Kills for 90 %\r\nA=B,Normal,50,2,4\r\n",
         equals.path()},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--data", c.dataDir.empty() ? data : c.dataDir};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(runTool(args).out, c.out) << c.args.back();
    }
}

TEST(CliFormat, JsonKeepsTheEntriesBeforeTheErrorAndLatin1Names) {
    const TempDataDir data{{"itemlist.txt", "Dolch \xE4tzend,0\n"}};
    EXPECT_EQ(runTool({"--data", data.path(), "--format", "json", "list", "items"}).out,
              "{\n  \"entries\": [\n    {\n      \"name\": \"Dolch \xC3\xA4tzend\"\n    }\n  ],\n"
              "  \"notes\": [],\n  \"utf8\": false,\n  \"error\": null\n}\n");
    const auto faulty = faultyTable();
    const CliRun r =
        runTool({"--data", faulty.path(), "--format", "json", "monster", "Cave Lurker"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"name\": \"Gold\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"message\": \"'0.\\u00005' is not a valid floating point value.\""),
              std::string::npos)
        << r.out;
}

// A chance of 0 has no "1 in N": the text line gets nothing, TSV an empty
// column, JSON null.
TEST(CliFormat, OneInOfAChanceOfZero) {
    const TempDataDir data{{"Normal/monsterlist.txt", "Rat:rat.txt,1\n"},
                           {"Normal/rat.txt", "Gold:0\nCap:0.5\n"}};
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"--one-in"}, "0=Gold\n50=Cap (1 in 2)\n"},
        {{"--one-in", "--format", "tsv"}, "Gold\t0\t\nCap\t50\t2\n"},
        {{"--format", "json", "--sort", "highest"},
         "{\n  \"heading\": \"Rat \u00b7 Normal \u00b7 2 entries\",\n  \"entries\": [\n    {\n"
         "      \"name\": \"Cap\",\n      \"chance\": \"50\",\n      \"value\": 50.0,\n"
         "      \"one_in\": 2,\n      \"kills_90\": 4,\n      \"difficulty\": \"Normal\",\n"
         "      \"plain_name\": \"Cap\"\n    },\n    {\n      \"name\": \"Gold\",\n"
         "      \"chance\": \"0\",\n      \"value\": 0.0,\n      \"one_in\": null,\n"
         "      \"kills_90\": null,\n      \"difficulty\": \"Normal\",\n"
         "      \"plain_name\": \"Gold\"\n    }\n  ],\n  \"notes\": [],\n  \"suggestions\": "
         "null,\n  \"error\": null\n}\n"},
        {{"--format", "csv"},
         "Name,Difficulty,% Drop Chance,1 in N,Kills for 90 %\r\nGold,Normal,0,,\r\n"
         "Cap,Normal,50,2,4\r\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--data", data.path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"monster", "Rat"});
        EXPECT_EQ(runTool(args).out, c.out) << c.args.back();
    }
}

// Notes go to standard error whether or not there are entries; stdout and
// the status stay those of the search.
TEST(CliNotes, WithAndWithoutEntries) {
    const TempDataDir over{{"Normal/monsterlist.txt", "Rat:rat.txt,1\nBat:bat.txt,1\n"
                                                      "A Monster Name Of Thirty Chars:rat.txt,1\n"},
                           {"Normal/rat.txt", "Gold:0.9\nCap:0.7\n-\nGold:0.9\nCap:0.5\n"},
                           {"Normal/bat.txt", "Gold:0.9\n-\nGold:0.2\n"}};
    const std::string examples = DROPCALC_EXAMPLES;
    struct Case {
        std::vector<std::string> args;
        std::string out;
        std::string err;
    };
    const std::string note = "dropcalc-cli: note: ";
    const std::vector<Case> cases = {
        {{"--data", over.path(), "monster", "Bat"},
         "110=Gold\n",
         note + "the chance of \"Gold\" is over 100 % (chances added up after a \"-\" line of a "
                "drop table)\n"},
        {{"--data", over.path(), "--sort", "name", "monster", "Rat"},
         "Cap=120\nGold=180\n",
         note + "the chances of \"Cap\" and 1 more are over 100 % (chances added up after a "
                "\"-\" line of a drop table)\n"},
        {{"--data", over.path(), "monster", "rat"},
         "",
         note + "no monster named \"rat\" in Normal/monsterlist.txt; did you mean \"Rat\" or "
                "\"Bat\"?\n"},
        // Listed, but longer than any name the monster search cuts a line at.
        {{"--data", over.path(), "monster", "A Monster Name Of Thirty Chars"},
         "",
         note + "no monster named \"A Monster Name Of Thirty Chars\" can be found: the monster "
                "list gives no name of 30 characters or more\n"},
        {{"--data", examples, "set-item", "ashen vigil", "Ashen Vigil Cowl"},
         "0.0382942132=Cow Warden\n0.0530097847=Cave Lurker\n",
         note + "set item \"Ashen Vigil Cowl\" is in base set \"Ashen Vigil\", not in base set "
                "\"ashen vigil\"; did you mean \"Ashen Vigil\"?\n"},
        {{"--data", examples, "--difficulty", "", "item", "Ring"},
         "",
         note + "no difficulty is chosen\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = runTool(c.args);
        EXPECT_EQ(r.status, 0) << c.args.back();
        EXPECT_EQ(r.out, c.out) << c.args.back();
        EXPECT_EQ(r.err, c.err) << c.args.back();
    }
}

TEST(CliFormat, JsonErrorSaysWhere) {
    const auto json = [](const DropError& e) {
        std::ostringstream out;
        qdc::cli::Settings json;
        json.format = qdc::cli::Format::Json;
        const qdc::cli::Ending ending = qdc::cli::describeEnding(e, "data", true);
        qdc::cli::Told told;
        told.ending = &ending;
        qdc::cli::writeOutcome(out, qdc::cli::Outcome{}, json, told);
        return out.str();
    };
    DropError bad("'0.o8' is not a valid floating point value");
    bad.locate({"Normal/act2/drake.txt", 3, "Gold:0.o8"});
    EXPECT_NE(json(bad).find("\"path\": \"Normal/act2/drake.txt\",\n    \"line\": 3,\n    "
                             "\"text\": \"Gold:0.o8\""),
              std::string::npos)
        << json(bad);
    DropError missing("File not found.");
    missing.locate({"Hell/levels.txt", 0, ""});
    EXPECT_NE(json(missing).find("\"path\": \"Hell/levels.txt\",\n    \"line\": null,\n    "
                                 "\"text\": null"),
              std::string::npos)
        << json(missing);
}

TEST(CliErrors, MessagesKeepEveryByteAndStayTheLastLine) {
    const auto data = faultyTable();
    const CliRun r = runTool({"--data", data.path(), "monster", "Cave Lurker"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "50=Gold\n");
    const std::string message =
        std::string("'0.") + '\0' + "5' is not a valid floating point value.\n";
    ASSERT_GE(r.err.size(), message.size());
    EXPECT_EQ(r.err.substr(r.err.size() - message.size()), message);
}

TEST(CliErrors, LocationLine) {
    const auto located = [](ErrorLocation where, std::string detail = {}) {
        DropError e("File not found.", std::move(detail));
        e.locate(std::move(where));
        return qdc::cli::locationLine(qdc::describeError(e, "data", true));
    };
    EXPECT_EQ(located({"Normal/act2/drake.txt", 3, "Gold:0.o8"}),
              "dropcalc-cli: Normal/act2/drake.txt:3: Gold:0.o8");
    EXPECT_EQ(located({"Hell/levels.txt", 0, ""}), "dropcalc-cli: Hell/levels.txt");
    EXPECT_EQ(located({"Normal/loop.txt", 0, ""}, "Too many levels of symbolic links"),
              "dropcalc-cli: Normal/loop.txt: Too many levels of symbolic links");
    EXPECT_EQ(located({"a.txt", 1, std::string(201, 'x')}),
              "dropcalc-cli: a.txt:1: " + std::string(200, 'x') + "\xE2\x80\xA6");
    EXPECT_EQ(located({"a.txt", 1, std::string(200, 'x')}),
              "dropcalc-cli: a.txt:1: " + std::string(200, 'x'));
}

TEST(CliErrors, LocationLineComesJustBeforeTheMessageAndNotesOnlyWithoutError) {
    DropError located("'0.o8' is not a valid floating point value");
    located.locate({"Normal/act2/drake.txt", 3, "Gold:0.o8"});
    const auto written = [](const DropError* e, const qdc::SearchNote& note) {
        std::ostringstream err;
        if (e == nullptr) {
            qdc::cli::writeDiagnostics(err, nullptr, note);
        } else {
            const qdc::cli::Ending ending = qdc::cli::describeEnding(*e, "data", true);
            qdc::cli::writeDiagnostics(err, &ending, note);
        }
        return err.str();
    };
    const std::string note = "no monster named \"cave lurker\" in Normal/monsterlist.txt";
    EXPECT_EQ(written(&located, note), "dropcalc-cli: Normal/act2/drake.txt:3: Gold:0.o8\n"
                                       "'0.o8' is not a valid floating point value.\n");
    const DropError bare("Out of memory.");
    EXPECT_EQ(written(&bare, std::nullopt), "Out of memory.\n");
    EXPECT_EQ(written(nullptr, note), "dropcalc-cli: note: " + note + "\n");
    EXPECT_EQ(written(nullptr, std::nullopt), "");
}

TEST(CliErrors, OutputThatCannotBeWrittenFails) {
    FullDisk disk;
    std::ostream out(&disk);
    std::ostringstream err;
    const char* argv[] = {"dropcalc-cli", "mf", "200"};
    EXPECT_EQ(qdc::runCli(3, argv, out, err, '.'), 1);
    EXPECT_EQ(err.str(), "dropcalc-cli: the output could not be written\n");
    qdc::test::SpawnOptions unwritable;
    unwritable.unwritableOutput = true;
    const qdc::test::Spawned full = runBinary({"mf", "200"}, unwritable);
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "dropcalc-cli: the output could not be written\n");
}

// Under an address-space limit every command ends with "Out of memory.",
// exit status 1, and JSON is still one whole document that says so.
TEST(CliErrors, RunningOutOfMemoryEndsEveryCommandTheSameWayPosixOnly) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#elif defined(_WIN32)
    GTEST_SKIP() << "no address-space limit for one process on Windows";
#endif
    const TempDataDir data{
        {"Normal/monsterlist.txt", "Rat:rat.txt,1\nBig:big.txt,1\n"},
        {"Normal/rat.txt", ""},
        {"itemlist.txt", std::string(2'000'000, '\n')},
    };
    std::filesystem::resize_file(data.path() + "/Normal/rat.txt", 512 << 20); // sparse
    std::string big;
    for (int i = 0; i < 3'000'000; ++i)
        big += "A:0.1\n";
    data.write("Normal/big.txt", big);
    struct Case {
        std::vector<std::string> args;
        int limitMb;
        std::string errEnd; // the last lines of standard error
    };
    const std::string located = "dropcalc-cli: Normal/rat.txt\nOut of memory.\n";
    const std::vector<Case> cases = {
        {{"monster", "Rat"}, 300, located},
        {{"--format", "json", "monster", "Rat"}, 300, located},
        {{"monster", "Big"}, 200, "Out of memory.\n"},
        {{"--format", "tsv", "--sort", "name", "monster", "Big"}, 200, "Out of memory.\n"},
        {{"--format", "json", "monster", "Big"}, 200, "Out of memory.\n"},
        {{"check"}, 60, "Out of memory.\n"},
        {{"--format", "json", "check"}, 60, "Out of memory.\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--data", data.path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        qdc::test::SpawnOptions limited;
        limited.memoryLimit = std::size_t(c.limitMb) << 20;
        const qdc::test::Spawned r = runBinary(args, limited);
        const std::string what = c.args.back() + " under " + std::to_string(c.limitMb) + " MB";
        EXPECT_EQ(r.status, 1) << what;
        EXPECT_TRUE(r.err.ends_with(c.errEnd)) << what << "\n" << r.err;
        if (c.args.front() == "--format" && c.args[1] == "json") {
            const auto doc = nlohmann::json::parse(r.out, nullptr, false);
            ASSERT_FALSE(doc.is_discarded()) << what;
            EXPECT_EQ(doc["error"]["message"], "Out of memory.") << what;
        }
    }
}

TEST(CliUsage, DecimalSeparatorRefusesWhatNumbersHold) {
    for (const char* c : {"0", "7", "+", "-", "E", "e", "=", " ", "\t", ",,"})
        EXPECT_EQ(runTool({"--decimal-separator", c, "mf", "1"}).status, 2) << c;
    for (const char* c : {",", ";", "'"})
        EXPECT_EQ(runTool({"--decimal-separator", c, "mf", "1"}).status, 0) << c;
}

TEST(CliUsage, VersionUnknownCommandAndCommandHelp) {
    EXPECT_EQ(runTool({"--version"}).out, "dropcalc-cli 1.1.0\nLicense: MIT\n");
    const CliRun unknown = runTool({"--data", "x", "frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err,
              "dropcalc-cli: unknown command 'frobnicate'\nRun with --help for usage.\n");
    EXPECT_EQ(runTool({"monster", "a", "b"}).err,
              "dropcalc-cli: unexpected argument 'b'\nRun with --help for usage.\n");
    EXPECT_EQ(runTool({"--difficulty", "normal,", "item", "Cap"}).status, 2);
    const std::string monster = runTool({"monster", "--help"}).out;
    EXPECT_NE(monster.find("--difficulty (exactly one)"), std::string::npos) << monster;
    EXPECT_EQ(monster.find("--mf"), std::string::npos) << monster;
    const std::string mf = runTool({"mf", "--help"}).out;
    EXPECT_NE(mf.find("--format"), std::string::npos) << mf;
    EXPECT_EQ(mf.find("--data"), std::string::npos) << mf;
}
