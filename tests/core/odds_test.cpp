#include "results/odds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

// Expected numbers worked out with exact fractions.
TEST(Odds, OneInAndKillsFor90Percent) {
    using Whole = std::optional<std::int64_t>;
    struct Case {
        double chance;
        Whole oneIn;
        Whole kills90;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {50, 2, 4},
        {40, 3, 5}, // 2.5: a half rounds up
        {38.360704, 3, 5},
        {1, 100, 230},
        {100.0 / 3.5, 3, 7}, // the quotient rounds to 3.5; exactly it is below
        {90, 1, 1},          // exactly 0.9 after one kill
        {std::nextafter(90.0, 0.0), 1, 2},
        {68.37722339831622, 1, 2}, // just past 1 - sqrt(0.1)
        {68.3772233983162, 1, 3},  // just short of it
        {100, 1, 1},
        {150, 1, 1}, // merged chances above 100 %
        {1e300, 1, 1},
        {1e-12, 100000000000000, 230258509299404},
        {std::ldexp(1.0, -56), 7205759403792793600, std::nullopt}, // k past 2^63
        {1e-17, std::nullopt, std::nullopt},
        {5e-324, std::nullopt, std::nullopt},
        {0, std::nullopt, std::nullopt},
        {-5, std::nullopt, std::nullopt},
        {inf, std::nullopt, std::nullopt},
        {std::nan(""), std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const qdc::Odds odds = qdc::oddsFor(c.chance);
        EXPECT_EQ(odds.oneIn, c.oneIn) << c.chance;
        EXPECT_EQ(odds.kills90, c.kills90) << c.chance;
    }
}
