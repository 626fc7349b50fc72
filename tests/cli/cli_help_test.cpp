#include "cli_helpers.h"

#include <gtest/gtest.h>

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
        const std::string out = runShell("cd '" + root + "' && " + DROPCALC_CLI + " " +
                                         line.substr(prefix.size()) + " 2>&1; echo \"status $?\"");
        EXPECT_GT(out.size(), std::string("\nstatus 0\n").size()) << line;
        EXPECT_TRUE(out.ends_with("\nstatus 0\n")) << line << "\n" << out;
    }
    EXPECT_GE(count, 6);
}
