#include "cli_helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace {

struct Shell {
    int status;
    std::string out;
};

Shell runShell(const std::string& command) {
    Shell result{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace

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
        const Shell run = runShell("cd '" + root + "' && " + DROPCALC_CLI + " " +
                                   line.substr(prefix.size()) + " 2>&1");
        EXPECT_EQ(run.status, 0) << line << "\n" << run.out;
        EXPECT_FALSE(run.out.empty()) << line;
    }
    EXPECT_GE(count, 6);
}
