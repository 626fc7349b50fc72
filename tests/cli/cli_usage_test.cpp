#include "cli_helpers.h"

#include <gtest/gtest.h>

TEST(CliMagicFind, PrintsUniqueSetAndRare) {
    const CliRun r = runTool({"mf", "200"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "171\n183\n185\n");
    EXPECT_EQ(runTool({"mf", "-50"}).out, "-50\n-50\n-50\n");
}

TEST(CliMagicFind, BadTextIsADataError) {
    const CliRun r = runTool({"mf", "1.5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "'1.5' is not a valid integer value.\n");
}

TEST(CliUsage, ErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"monster"},
        {"--sort", "size", "monster", "X"},
        {"--difficulty", "normal,hell", "monster", "X"},
        {"--difficulty", "", "monster", "X"},
        {"--difficulty", "purgatory", "item", "X"},
        {"--difficulty", "normal,", "item", "X"},
        {"--decimal-separator", "ab", "monster", "X"},
        {"list", "weapons"},
    };
    for (const auto& args : cases) {
        const CliRun r = runTool(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
}

TEST(CliUsage, HelpNamesEveryCommand) {
    const CliRun r = runTool({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"monster", "item", "unique-item", "unique-monster", "set-item",
                             "set-monster", "set-items", "list", "mf", "--data", "--sort", "--mf",
                             "--difficulty", "--decimal-separator", "--wide"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}
