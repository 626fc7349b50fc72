#include "cli/jsonwriter.h"
#include "cli/terminal.h"
#include "cli_helpers.h"
#include "results/showntext.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <limits>

namespace {

std::string jsonString(const std::string& text) {
    std::ostringstream out;
    qdc::cli::writeJsonString(out, text);
    return out.str();
}

} // namespace

TEST(JsonText, EscapesAndShowsWhatIsNotUtf8AsWindows1252) {
    struct Case {
        std::string text;
        std::string json;
    };
    const std::vector<Case> cases = {
        {"Ring", "\"Ring\""},
        {"a\"b\\c/", "\"a\\\"b\\\\c/\""},
        {"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
        {std::string("\0\x01\x1f", 3), "\"\\u0000\\u0001\\u001f\""},
        {"\x7f", "\"\x7f\""},
        {"\xC3\xA9t\xC3\xA9", "\"\xC3\xA9t\xC3\xA9\""},
        {"Dolch \xE4tzend", "\"Dolch \xC3\xA4tzend\""},
        {"\x80\x85\x99\x9F", "\"\xE2\x82\xAC\xE2\x80\xA6\xE2\x84\xA2\xC5\xB8\""},
        {"\x81\x8D\x8F\x90\x9D", "\"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\""}, // undefined
        {"\xC0\xAF", "\"\xC3\x80\xC2\xAF\""},                                     // overlong form
        {"\xED\xA0\x80", "\"\xC3\xAD\xC2\xA0\xE2\x82\xAC\""},                     // surrogate
        {"'\xE4\xE2\x80\xA6' is not", "\"'\xC3\xA4\xE2\x80\xA6' is not\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(jsonString(c.text), c.json) << c.text;
        EXPECT_TRUE(nlohmann::json::accept(jsonString(c.text))) << c.text;
    }
    // Every byte that is not UTF-8 shows as the one rule shows it.
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string text = {'a', static_cast<char>(byte)};
        EXPECT_EQ(jsonString(text), "\"" + qdc::shownText(text) + "\"") << byte;
    }
}

TEST(JsonText, LaysOutAsAWholeDocumentDumps) {
    std::ostringstream out;
    qdc::cli::JsonWriter json(out);
    json.beginObject();
    json.key("a");
    json.beginArray();
    json.end();
    json.key("b");
    json.beginObject();
    json.end();
    json.key("c");
    json.beginArray();
    json.integer(-7);
    json.beginObject();
    json.key("x");
    json.number(0.5);
    json.key("y");
    json.number(20);
    json.key("z");
    json.number(1e-5);
    json.end();
    json.null();
    json.number(std::numeric_limits<double>::quiet_NaN());
    json.end();
    json.key("d");
    json.string("e");
    json.end();
    const std::string expected = "{\n"
                                 "  \"a\": [],\n"
                                 "  \"b\": {},\n"
                                 "  \"c\": [\n"
                                 "    -7,\n"
                                 "    {\n"
                                 "      \"x\": 0.5,\n"
                                 "      \"y\": 20.0,\n"
                                 "      \"z\": 1e-05\n"
                                 "    },\n"
                                 "    null,\n"
                                 "    null\n"
                                 "  ],\n"
                                 "  \"d\": \"e\"\n"
                                 "}";
    EXPECT_EQ(out.str(), expected);
    EXPECT_EQ(nlohmann::ordered_json::parse(expected).dump(2), expected);
}

TEST(JsonText, EndToClosesWhatIsOpen) {
    std::ostringstream out;
    qdc::cli::JsonWriter json(out);
    json.beginObject();
    json.key("entries");
    json.beginArray();
    json.beginObject();
    json.key("name");
    json.endTo(1);
    json.key("error");
    json.null();
    json.endTo(0);
    EXPECT_EQ(out.str(), "{\n  \"entries\": [\n    {\n      \"name\": null\n    }\n  ],\n"
                         "  \"error\": null\n}");
}

TEST(TerminalText, ControlCharactersShownEscaped) {
    struct Case {
        std::string line;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"Gold:\x1b]0;PWNED\x07\x1b[2J\n", "Gold:\\x1B]0;PWNED\\x07\\x1B[2J\n"},
        {"a\tb\rc\x7f\n", "a\tb\\x0Dc\\x7F\n"},
        {"\xC2\x9B"
         "1m \xC3\xA9 \xE2\x82\xAC",
         "\\xC2\\x9B1m \xC3\xA9 \xE2\x82\xAC"},
        {"\x9B\xE4 \x85", "\\x9B\xE4 \\x85"},
        {std::string("a\0b", 3), "a\\x00b"},
        // A no-break space is no control character, in UTF-8 or Latin-1.
        {"10\xC2\xA0"
         "000 \xC2\x9F",
         "10\xC2\xA0"
         "000 \\xC2\\x9F"},
        {"10\xA0\x9F", "10\xA0\\x9F"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qdc::cli::terminalSafe(c.line), c.shown) << c.line;
}

TEST(TerminalText, OnlyATerminalGetsItEscaped) {
    const TempDataDir data{
        {"Normal/monsterlist.txt", "Rat:rat.txt,1\n"},
        {"Normal/rat.txt", "Ro\x1b[2Jbe:0.5\nGold:\x1b]0;PWNED\x07\n"},
    };
    struct Case {
        qdc::Terminals terminals;
        std::string out;
        std::string err;
    };
    const std::string message = "'\x1b]0;PWNED\x07' is not a valid floating point value.\n";
    const std::vector<Case> cases = {
        {{},
         "50=Ro\x1b[2Jbe\n",
         "dropcalc-cli: Normal/rat.txt:2: Gold:\x1b]0;PWNED\x07\n" + message},
        {{true, false},
         "50=Ro\\x1B[2Jbe\n",
         "dropcalc-cli: Normal/rat.txt:2: Gold:\x1b]0;PWNED\x07\n" + message},
        {{true, true},
         "50=Ro\\x1B[2Jbe\n",
         "dropcalc-cli: Normal/rat.txt:2: Gold:\\x1B]0;PWNED\\x07\n"
         "'\\x1B]0;PWNED\\x07' is not a valid floating point value.\n"},
    };
    const std::string folder = data.path();
    for (const Case& c : cases) {
        const char* argv[] = {"dropcalc-cli", "--data", folder.c_str(), "monster", "Rat"};
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(qdc::runCli(5, argv, out, err, '.', c.terminals), 1);
        EXPECT_EQ(out.str(), c.out);
        EXPECT_EQ(err.str(), c.err);
    }
}

// The program itself asks whether its output is a terminal: under a
// pseudo-terminal (script(1)) it escapes, into a pipe it does not.
TEST(TerminalText, TheProgramTellsATerminalFromAPipePosixOnly) {
#ifdef _WIN32
    GTEST_SKIP() << "script(1) makes a POSIX pseudo-terminal";
#endif
    const TempDataDir data{
        {"Normal/monsterlist.txt", "Rat:rat.txt,1\n"},
        {"Normal/rat.txt", "Ro\x1b[2Jbe:0.5\n"},
    };
    const std::string script = "/usr/bin/script";
    if (!std::filesystem::exists(script))
        GTEST_SKIP() << "script(1) is not installed";
    const std::string command =
        std::string(DROPCALC_CLI) + " --data '" + data.path() + "' monster Rat";
    EXPECT_EQ(qdc::test::spawn({script, "-q", "-e", "-c", command, "/dev/null"}).out,
              "50=Ro\\x1B[2Jbe\r\n");
    EXPECT_EQ(runBinary({"--data", data.path(), "monster", "Rat"}).out, "50=Ro\x1b[2Jbe\n");
}

TEST(TsvText, FieldsKeepTheirCount) {
    const TempDataDir data{
        {"Normal/monsterlist.txt", "Rat:rat.txt,1\n"},
        {"Normal/rat.txt", "A\tB:0.5\nC\\D:0.25\n"},
        {"itemlist.txt", "G\tH,0\n"},
    };
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"--sort", "name", "--format", "tsv", "monster", "Rat"}, "A\\tB\t50\nC\\\\D\t25\n"},
        {{"--sort", "name", "monster", "Rat"}, "A\tB=50\nC\\D=25\n"},
        {{"--format", "tsv", "list", "items"}, "G\\tH\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--data", data.path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(runTool(args).out, c.out) << c.args.back();
    }
}

TEST(QuotedText, CutAt200BytesKeepingWholeCharacters) {
    const std::string e = "\xC3\xA9"; // é
    const std::string chance = std::string(194, 'x') + e + e + e + e + e;
    const TempDataDir data{
        {"Normal/monsterlist.txt", "Rat:rat.txt,1\n"},
        {"Normal/rat.txt", "Gold:" + chance + "\n"},
    };
    const std::string ellipsis = "\xE2\x80\xA6";
    struct Case {
        std::vector<std::string> args;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"monster", std::string(100'000, 'y')},
         "",
         "dropcalc-cli: note: no monster named \"" + std::string(200, 'y') + ellipsis +
             "\" can be found: the monster list gives no name of 30 characters or more\n"},
        {{"--format", "json", "monster", "Rat"},
         "{\n  \"heading\": \"Rat \u00b7 Normal \u00b7 0 entries\",\n  \"entries\": [],\n"
         "  \"notes\": [],\n  \"suggestions\": null,\n  \"error\": {\n    \"message\": \"'" +
             std::string(194, 'x') + e + e + e + ellipsis +
             "' is not a valid floating point value.\",\n" +
             "    \"path\": \"Normal/rat.txt\",\n    \"line\": 1,\n    \"text\": \"Gold:" +
             std::string(194, 'x') + ellipsis +
             "\",\n    \"named_by\": null,\n    \"detail\": null,\n    \"hint\": \"Correct the "
             "file, then press Reload.\",\n    \"stopped\": \"Stopped by an error in "
             "Normal/rat.txt, line 1: the list holds only the entries found before it.\"\n  }\n}\n",
         "dropcalc-cli: Normal/rat.txt:1: Gold:" + std::string(194, 'x') + ellipsis + "\n'" +
             std::string(194, 'x') + e + e + e + ellipsis +
             "' is not a valid floating point value.\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--data", data.path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun r = runTool(args);
        EXPECT_EQ(r.out, c.out) << c.args.back().size();
        EXPECT_EQ(r.err, c.err) << c.args.back().size();
    }
}
