#include "cli_helpers.h"

#include <gtest/gtest.h>

TEST(CliOptions, AnOptionACommandDoesNotReadIsNotedOnce) {
    const std::string data = DROPCALC_EXAMPLES;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"--mf", "abc", "monster", "Cave Lurker"},
         0,
         "dropcalc-cli: note: --mf does not change the monster search\n"},
        {{"--mf", "1", "item", "Cap"},
         0,
         "dropcalc-cli: note: --mf does not change the item search\n"},
        {{"--difficulty", "hell", "--wide", "--sort", "name", "list", "base-sets"},
         0,
         "dropcalc-cli: note: --sort does not change the name lists\n"
         "dropcalc-cli: note: --difficulty does not change the name lists\n"
         "dropcalc-cli: note: --wide does not change the name lists\n"},
        {{"--decimal-separator", ",", "--format", "tsv", "mf", "x"},
         1,
         "dropcalc-cli: note: --data does not change the magic find calculator\n"
         "dropcalc-cli: note: --decimal-separator does not change the magic find calculator\n"
         "'x' is not a valid integer value.\n"},
        {{"--mf", "5", "unique-item", "Coil of Embers"}, 0, ""},
        {{"--sort", "name", "check"},
         0,
         "dropcalc-cli: note: --sort does not change the data check\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--data", data};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun r = runTool(args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_EQ(r.err, c.err) << c.args.back();
    }
}

TEST(CliOptions, DoubleDashEndsTheOptions) {
    const TempDataDir data{
        {"Normal/monsterlist.txt", "-Bob:bob.txt,1\n--:bob.txt,1\n"},
        {"Normal/bob.txt", "Gold:0.5\n"},
    };
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    };
    const std::string usage = "\nRun with --help for usage.\n";
    const std::vector<Case> cases = {
        {{"monster", "--", "-Bob"}, 0, "50=Gold\n", ""},
        {{"--", "monster", "-Bob"}, 0, "50=Gold\n", ""},
        {{"--sort", "name", "--", "monster", "--"}, 0, "Gold=50\n", ""},
        {{"monster", "-Bob"}, 2, "", "dropcalc-cli: NAME is required" + usage},
        {{"monster", "--"}, 2, "", "dropcalc-cli: NAME is required" + usage},
        {{"--", "monster", "-Bob", "x"}, 2, "", "dropcalc-cli: unexpected argument 'x'" + usage},
        {{"--"}, 2, "", "dropcalc-cli: a command is required (see --help)" + usage},
        {{"--", "-Bob"}, 2, "", "dropcalc-cli: unknown command '-Bob'" + usage},
        {{"--", "list", "monsters"}, 0, "-Bob\n--\n", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--data", data.path()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun r = runTool(args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_EQ(r.out, c.out) << c.args.back();
        EXPECT_EQ(r.err, c.err) << c.args.back();
    }
}
