#include "search/magicfind.h"

#include <gtest/gtest.h>

#include <climits>

TEST(RealMagicFind, Table) {
    const struct {
        int m, unique, set, rare;
    } cases[] = {
        {0, 0, 0, 0},
        {-50, -50, -50, -50},
        {110, 110, 110, 110},
        {111, 110, 110, 110},
        {120, 118, 119, 119},
        {200, 171, 183, 185},
        {300, 211, 242, 250},
        {500, 253, 322, 340},
        {1000, 295, 421, 460},
        {999999, 349, 599, 699},
        {INT_MIN, INT_MIN, INT_MIN, INT_MIN},
    };
    for (const auto& c : cases) {
        const auto real = qdc::realMagicFind(c.m);
        EXPECT_EQ(real.unique, c.unique) << c.m;
        EXPECT_EQ(real.set, c.set) << c.m;
        EXPECT_EQ(real.rare, c.rare) << c.m;
    }
}

TEST(RealMagicFind, LargestValueDoesNotOverflow) {
    const auto real = qdc::realMagicFind(INT_MAX);
    EXPECT_EQ(real.unique, 349);
    EXPECT_EQ(real.set, 599);
    EXPECT_EQ(real.rare, 699);
}
