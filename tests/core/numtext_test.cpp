#include "results/numtext.h"

#include <gtest/gtest.h>

using qdc::chanceText;
using qdc::generalNumberText;

TEST(GeneralNumberText, PlainAndExponentForms) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {65.7, "65.7"},
        {100, "100"},
        {57.8125, "57.8125"},
        {0.0001, "0.0001"},
        {0.00015, "0.00015"},
        {1.5e-5, "1.5E-5"},
        {5e-5, "5E-5"},
        {1e-6, "1E-6"},
        {5e-10, "5E-10"},
        {-2.5, "-2.5"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},
        {99.99999999999999, "100"},
        {0.8448388796, "0.8448388796"},
        {1e100, "1E100"},
        // Subnormal: fewer digits than 15 read back as it, but 15 are written.
        {5e-324, "4.94065645841247E-324"},
        {2.2569565034924947e-310, "2.25695650349249E-310"},
        {2.2250738585072014e-308, "2.2250738585072E-308"},
        {1.7976931348623157e308, "1.79769313486232E308"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(generalNumberText(c.value, '.'), c.text) << c.text;
}

TEST(GeneralNumberText, HalfRoundsAwayFromZeroOnTheExactValue) {
    // 16-digit whole numbers are exact doubles: their 16th digit decides alone.
    EXPECT_EQ(generalNumberText(1000000000000005.0, '.'), "1.00000000000001E15");
    EXPECT_EQ(generalNumberText(-1000000000000005.0, '.'), "-1.00000000000001E15");
    EXPECT_EQ(generalNumberText(1000000000000004.0, '.'), "1E15");
    EXPECT_EQ(generalNumberText(4503599627370497.0, '.'), "4.5035996273705E15");
    // Stored just below their decimal text, so just below the tie.
    EXPECT_EQ(generalNumberText(0.1234567890123455, '.'), "0.123456789012345");
    EXPECT_EQ(generalNumberText(1.000057696241895, '.'), "1.00005769624189");
}

TEST(GeneralNumberText, LocaleSeparator) {
    EXPECT_EQ(generalNumberText(65.7, ','), "65,7");
    EXPECT_EQ(generalNumberText(1.5e-5, ','), "1,5E-5");
    EXPECT_EQ(generalNumberText(100, ','), "100");
}

TEST(ChanceText, SmallNumberFormAlwaysUsesFullStop) {
    const struct {
        double value;
        char sep;
        const char* text;
    } cases[] = {
        {1.5e-5, '.', "0.000015"},
        {5e-5, '.', "0.00005"},
        {1.23e-7, '.', "0.000000123"},
        {1e-6, '.', "0.000001"},
        {1.5e-5, ',', "0.000015"},
        {65.7, ',', "65,7"},
        {0.0001, ',', "0,0001"},
        {5e-10, '.', "5E-10"},
        {1e-9, '.', "0.000000001"},
        {0, '.', "0"},
        {100, '.', "100"},
        {-1.5e-5, '.', "-0.000015"},
        {1e15, '.', "1E15"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chanceText(c.value, c.sep), c.text) << c.text;
}

TEST(Rounding, TiesToEvenAfterDividingByTheNegativePower) {
    EXPECT_EQ(qdc::roundTo(0.657 * 100, 10), 65.7);
    EXPECT_EQ(qdc::roundTo(2.5, 0), 2.0);
    EXPECT_EQ(qdc::roundTo(3.5, 0), 4.0);
    EXPECT_EQ(qdc::roundTo(-2.5, 0), -2.0);
    EXPECT_EQ(generalNumberText(qdc::roundTo(0.0066804979123, 10), '.'), "0.0066804979");
    EXPECT_EQ(generalNumberText(qdc::roundTo(0.125, 2), '.'), "0.12");
    EXPECT_EQ(qdc::truncateToWhole(199.5), 199.0);
    EXPECT_EQ(qdc::truncateToWhole(-1.9), -1.0);
}

TEST(Rounding, IntegerPower) {
    EXPECT_EQ(qdc::intPower(0.5, 0), 1.0);
    EXPECT_EQ(qdc::intPower(0.5, 2), 0.25);
    EXPECT_EQ(qdc::intPower(2, 9), 512.0);
    EXPECT_EQ(qdc::intPower(2, -2), 0.25);
}
