// The tool's answers to the searches that every face must answer alike
// (tests/parity/cases.tsv), against the files in tests/parity/expected/: the
// JSON document and the CSV of each case. With DROPCALC_REGENERATE_PARITY=1
// in the environment the test writes those files instead; read every change
// before committing it.

#include "cli_helpers.h"
#include "results/showntext.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

fs::path repositoryTop() {
    return fs::path(DROPCALC_EXAMPLES).parent_path().parent_path();
}

// A field of cases.tsv, each "\xHH" the byte HH.
std::string caseField(const std::string& field) {
    std::string bytes;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field.compare(i, 2, "\\x") == 0 && i + 4 <= field.size()) {
            bytes += static_cast<char>(std::stoi(field.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return bytes;
}

// Each case: the tool's arguments, "--data FOLDER" first.
std::vector<std::vector<std::string>> parityCases() {
    std::ifstream in(repositoryTop() / "tests/parity/cases.tsv", std::ios::binary);
    std::vector<std::vector<std::string>> cases;
    for (std::string line; std::getline(in, line);) {
        if (line.empty())
            continue;
        std::vector<std::string> args = {"--data"};
        std::size_t start = 0;
        for (std::size_t tab = 0; tab != std::string::npos; start = tab + 1) {
            tab = line.find('\t', start);
            args.push_back(caseField(line.substr(start, tab - start)));
        }
        args[1] = (repositoryTop() / args[1]).string();
        cases.push_back(std::move(args));
    }
    return cases;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The run with `format` put before the case's arguments.
CliRun runCase(std::vector<std::string> args, const std::string& format) {
    args.insert(args.begin() + 2, {"--format", format});
    return runTool(args);
}

// Standard error's lines.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

} // namespace

TEST(Parity, JsonAndCsvOfEveryCaseAsExpected) {
    const std::vector<std::vector<std::string>> cases = parityCases();
    ASSERT_GE(cases.size(), 16U);
    const fs::path expected = repositoryTop() / "tests/parity/expected";
    const char* asked = std::getenv("DROPCALC_REGENERATE_PARITY");
    const bool regenerate = asked != nullptr && std::string(asked) == "1";
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string name = (i < 9 ? "0" : "") + std::to_string(i + 1);
        const CliRun json = runCase(cases[i], "json");
        const CliRun csv = runCase(cases[i], "csv");
        if (regenerate) {
            std::ofstream(expected / (name + ".json"), std::ios::binary) << json.out;
            std::ofstream(expected / (name + ".csv"), std::ios::binary) << csv.out;
            continue;
        }
        EXPECT_EQ(json.out, readFile(expected / (name + ".json"))) << name;
        EXPECT_EQ(csv.out, readFile(expected / (name + ".csv"))) << name;
        // Both formats end alike, and say on standard error what the
        // document says.
        EXPECT_EQ(csv.status, json.status) << name;
        EXPECT_EQ(csv.err, json.err) << name;
        const auto doc = nlohmann::json::parse(json.out, nullptr, false);
        ASSERT_FALSE(doc.is_discarded()) << name;
        std::vector<std::string> notes;
        std::string last;
        for (const std::string& line : lines(json.err)) {
            const std::string prefix = "dropcalc-cli: note: ";
            if (line.rfind(prefix, 0) == 0)
                notes.push_back(qdc::shownText(line.substr(prefix.size())));
            last = line;
        }
        EXPECT_EQ(doc["notes"], notes) << name;
        EXPECT_EQ(json.status, doc["error"].is_null() ? 0 : 1) << name;
        if (!doc["error"].is_null()) {
            EXPECT_EQ(doc["error"]["message"], qdc::shownText(last)) << name;
        }
    }
    if (regenerate)
        GTEST_SKIP() << "wrote the expected files of " << cases.size() << " cases to " << expected;
}
