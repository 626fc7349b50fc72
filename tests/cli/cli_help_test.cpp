#include "cli_helpers.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// The words of an example command line: cut at blanks, except inside "...".
std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> result;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord)
                result.push_back(std::exchange(word, {}));
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        result.push_back(word);
    return result;
}

} // namespace

TEST(CliHelp, ExampleWordsAsAShellCutsThem) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {R"(--data examples/data monster "Cave Lurker")",
         {"--data", "examples/data", "monster", "Cave Lurker"}},
        {R"(set-item  "Ashen Vigil" "")", {"set-item", "Ashen Vigil", ""}},
        {R"(a"b c"d)", {"ab cd"}},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(words(line), expected) << line;
}

// Every example of --help runs as written from the project's folder.
TEST(CliHelp, EveryExampleRunsFromTheProjectFolder) {
    const std::string examples = DROPCALC_EXAMPLES;
    const std::string root =
        examples.substr(0, examples.size() - std::string("/examples/data").size());
    const std::string help = runTool({"--help"}).out;
    const std::string prefix = "  dropcalc-cli ";
    int count = 0;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        ++count;
        const qdc::test::Spawned r = runBinary(words(line.substr(prefix.size())), {.folder = root});
        EXPECT_EQ(r.status, 0) << line << "\n" << r.err;
        EXPECT_NE(r.out, "") << line;
    }
    EXPECT_GE(count, 6);
}
