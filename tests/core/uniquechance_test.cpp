#include "results/error.h"
#include "results/numtext.h"
#include "search/uniquechance.h"

#include <gtest/gtest.h>

using qdc::UniqueChanceInput;
using qdc::uniqueDropChance;

namespace {

UniqueChanceInput input(double p, std::int32_t picks, std::int32_t monsterLevel,
                        std::int32_t reduction, std::int32_t uniqueLevel, char flag,
                        std::int32_t realMf, const std::string& base, std::int32_t weight) {
    UniqueChanceInput in;
    in.p = p;
    in.picks = picks;
    in.monsterLevel = monsterLevel;
    in.qualityReduction = reduction;
    in.uniqueLevel = uniqueLevel;
    in.quality = qdc::uniqueQuality(flag);
    in.realMagicFind = realMf;
    in.baseItem = base;
    in.uniqueWeight = weight;
    return in;
}

constexpr auto kItem = qdc::UniqueChanceForm::ItemSearch;
constexpr auto kMonster = qdc::UniqueChanceForm::MonsterSearch;

std::string chance(const UniqueChanceInput& in, qdc::UniqueChanceForm form) {
    try {
        return qdc::generalNumberText(uniqueDropChance(in, form), '.');
    } catch (const qdc::DropError& e) {
        return e.what();
    }
}

} // namespace

TEST(UniqueDropChance, WorkedNumbers) {
    const struct {
        UniqueChanceInput in;
        qdc::UniqueChanceForm form;
        const char* chance;
    } cases[] = {
        {input(0.1, 1, 30, 0, 30, '0', 0, "Cap", 1), kItem, "0.02"},
        {input(0.1, 1, 30, 0, 30, '0', 171, "Cap", 1), kItem, "0.0542"},
        {input(0.05, 2, 40, 983, 25, '1', 0, "Cap", 1), kItem, "0.8448388796"},
        // The same ring data with the rounding of each unique search.
        {input(0.2, 1, 45, 0, 27, '0', 0, "Ring", 5), kItem, "0.0066804979"},
        {input(0.2, 1, 45, 0, 27, '0', 0, "Ring", 5), kMonster, "0.0066935483"},
        // Below the first band a ring's weight counts whole.
        {input(0.2, 1, 9, 0, 5, '0', 0, "Ring", 5), kItem, "0.2016129"},
        {input(0.2, 1, 10, 0, 5, '0', 0, "Ring", 5), kItem, "0.0134545453"},
        // Picks 0 gives 0 whatever else.
        {input(0.5, 0, 30, 0, 30, '0', 0, "Cap", 1), kItem, "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chance(c.in, c.form), c.chance) << c.in.baseItem << " " << c.in.p;
}

TEST(UniqueDropChance, DivisionErrorsWhereTheDivisionStands) {
    const struct {
        UniqueChanceInput in;
        const char* message;
    } cases[] = {
        // No quality flag: divisor 0, with and without a level gap.
        {input(0.1, 1, 35, 0, 30, '\0', 0, "Cap", 1), "Floating point division by zero"},
        {input(0.1, 1, 30, 0, 30, '\0', 0, "Cap", 1), "Invalid floating point operation"},
        // Real magic find -100.
        {input(0.1, 1, 30, 0, 30, '0', -100, "Cap", 1), "Floating point division by zero"},
        // Quality value 0: the divisor of the roll chance; with magic find -100
        // as well, the earlier division is the one that fails.
        {input(0.1, 1, 530, 0, 30, '0', 0, "Cap", 1), "Floating point division by zero"},
        {input(0.1, 1, 530, 0, 30, '0', -100, "Cap", 1), "Invalid floating point operation"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chance(c.in, kItem), c.message) << c.in.monsterLevel << " " << c.in.realMagicFind;
}

TEST(UniqueDropChance, ExtremeLevelsDoNotWrap) {
    // A level gap beyond 32 bits stays negative (a wrapped gap would be
    // positive and give a positive chance).
    const UniqueChanceInput in = input(0.1, 1, 2147483647, 0, -9, '1', 0, "Cap", 1);
    EXPECT_EQ(chance(in, kItem), "-1.4E-8");
}

TEST(WeightTotal, Bands) {
    const struct {
        const char* base;
        std::int32_t level;
        std::int32_t total;
    } cases[] = {
        {"Ring", -5, 1},    {"Ring", 9, 1},     {"Ring", 10, 15},   {"Ring", 19, 15},
        {"Ring", 20, 30},   {"Ring", 38, 30},   {"Ring", 39, 31},   {"Ring", 52, 31},
        {"Ring", 53, 42},   {"Ring", 65, 42},   {"Ring", 66, 52},   {"Ring", 999, 52},
        {"Amulet", 13, 1},  {"Amulet", 14, 20}, {"Amulet", 19, 20}, {"Amulet", 20, 25},
        {"Amulet", 33, 25}, {"Amulet", 34, 35}, {"Amulet", 54, 35}, {"Amulet", 55, 40},
        {"Amulet", 57, 40}, {"Amulet", 58, 50}, {"Amulet", 59, 50}, {"Amulet", 60, 55},
        {"Amulet", 72, 55}, {"Amulet", 73, 65}, {"Amulet", 79, 65}, {"Amulet", 80, 70},
        {"Cap", 80, 1},     {"ring", 80, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qdc::weightTotal(c.base, c.level), c.total) << c.base << " " << c.level;
}
