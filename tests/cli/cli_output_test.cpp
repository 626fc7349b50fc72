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
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"--format", "tsv", "--difficulty", "hell", "--sort", "name", "item", "Cap"},
         "Cave Lurker (H)\t22.1312\nCow Warden (H)\t22.56\n"},
        {{"--format", "tsv", "--wide", "item", "Cap"}, "Cave Lurker\t22.1312\nCow Warden\t22.56\n"},
        {{"--format", "json", "--decimal-separator", ",", "item", "Cap"},
         "{\n  \"entries\": [\n    {\n      \"name\": \"Cave Lurker\",\n      \"chance\": "
         "\"22,1312\",\n"
         "      \"value\": 22.1312\n    },\n    {\n      \"name\": \"Cow Warden\",\n      "
         "\"chance\": "
         "\"22,56\",\n      \"value\": 22.56\n    }\n  ],\n  \"error\": null\n}\n"},
        {{"--format", "tsv", "set-items", "Pasture Guard"},
         "Cowl of Dusk\nCowherd's Treads\nPasture Gauntlets\n"},
        {{"--format", "tsv", "mf", "200"}, "unique\t171\nset\t183\nrare\t185\n"},
        {{"--format", "json", "mf", "x"},
         "{\n  \"entries\": [],\n  \"error\": {\n    \"message\": \"'x' is not a valid integer "
         "value.\",\n    \"path\": null,\n    \"line\": null,\n    \"text\": null\n  }\n}\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--data", data};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(runTool(args).out, c.out) << c.args.back();
    }
}

TEST(CliFormat, JsonKeepsTheEntriesBeforeTheErrorAndLatin1Names) {
    const TempDataDir data{{"itemlist.txt", "Dolch \xE4tzend,0\n"}};
    EXPECT_EQ(runTool({"--data", data.path(), "--format", "json", "list", "items"}).out,
              "{\n  \"entries\": [\n    {\n      \"name\": \"Dolch \xC3\xA4tzend\"\n    }\n  ],\n"
              "  \"error\": null\n}\n");
    const auto faulty = faultyTable();
    const CliRun r =
        runTool({"--data", faulty.path(), "--format", "json", "monster", "Cave Lurker"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"name\": \"Gold\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"message\": \"'0.\\u00005' is not a valid floating point value.\""),
              std::string::npos)
        << r.out;
}

TEST(CliFormat, JsonErrorSaysWhere) {
    const auto json = [](const DropError& e) {
        std::ostringstream out;
        qdc::cli::Settings json;
        json.format = qdc::cli::Format::Json;
        qdc::cli::writeOutcome(out, qdc::cli::Outcome{}, json, &e);
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
        return qdc::cli::locationLine(e);
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
        qdc::cli::writeDiagnostics(err, e, note);
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
    const std::string command = std::string(DROPCALC_CLI) + " mf 200 > /dev/full 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
}

// Under an address-space limit every command ends with "Out of memory.",
// exit status 1, and JSON is still one whole document that says so.
TEST(CliErrors, RunningOutOfMemoryEndsEveryCommandTheSameWay) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
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
    const TempDataDir scratch{};
    struct Case {
        std::string args;
        int limitMb;
        std::string errEnd; // the last lines of standard error
    };
    const std::string located = "dropcalc-cli: Normal/rat.txt\nOut of memory.\n";
    const std::vector<Case> cases = {
        {"monster Rat", 300, located},
        {"--format json monster Rat", 300, located},
        {"monster Big", 200, "Out of memory.\n"},
        {"--format tsv --sort name monster Big", 200, "Out of memory.\n"},
        {"--format json monster Big", 200, "Out of memory.\n"},
        {"check", 60, "Out of memory.\n"},
        {"--format json check", 60, "Out of memory.\n"},
    };
    for (const Case& c : cases) {
        const std::string out = scratch.path() + "/out";
        const std::string err = scratch.path() + "/err";
        const std::string status = runShell("ulimit -v " + std::to_string(c.limitMb * 1024) + "; " +
                                            DROPCALC_CLI + " --data '" + data.path() + "' " +
                                            c.args + " >'" + out + "' 2>'" + err + "'; echo $?");
        EXPECT_EQ(status, "1\n") << c.args;
        const std::string errText = runShell("tail -n 2 '" + err + "'");
        EXPECT_TRUE(errText.ends_with(c.errEnd)) << c.args << "\n" << errText;
        if (c.args.starts_with("--format json")) {
            std::ifstream in(out);
            const auto doc = nlohmann::json::parse(in, nullptr, false);
            ASSERT_FALSE(doc.is_discarded()) << c.args;
            EXPECT_EQ(doc["error"]["message"], "Out of memory.") << c.args;
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
    EXPECT_EQ(runTool({"--version"}).out, "dropcalc-cli 1.1.0\n");
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
