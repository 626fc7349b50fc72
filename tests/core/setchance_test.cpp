#include "results/error.h"
#include "results/numtext.h"
#include "search/setchance.h"

#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

using namespace qdc;

TEST(SetWeightTotal, BandsAtTheirEdges) {
    const struct {
        const char* item;
        std::int32_t level;
        std::int32_t total;
    } cases[] = {
        {"Ring", 14, 5},
        {"Ring", 15, 7},
        {"Ring", 16, 7},
        {"Ring", 17, 10},
        {"Ring", 99, 10},
        {"Amulet", 12, 5},
        {"Amulet", 13, 7},
        {"Amulet", 14, 7},
        {"Amulet", 15, 14},
        {"Amulet", 16, 14},
        {"Amulet", 17, 21},
        {"Amulet", 18, 21},
        {"Amulet", 19, 28},
        {"Amulet", 20, 29},
        {"Amulet", 21, 38},
        {"Amulet", 25, 38},
        {"Amulet", 26, 39},
        {"Amulet", 27, 48},
        {"Amulet", 38, 48},
        {"Amulet", 39, 49},
        {"Amulet", 90, 49},
        {"Light Gauntlets", 2, 5},
        {"Light Gauntlets", 3, 7},
        {"Light Gauntlets", 22, 7},
        {"Light Gauntlets", 23, 14},
        {"Heavy Boots", 0, 7},
        {"Heavy Boots", 20, 7},
        {"Heavy Boots", 60, 7},
        {"Belt", 3, 5},
        {"Belt", 4, 7},
        {"Belt", 27, 7},
        {"Belt", 28, 14},
        {"Cap", 6, 5},
        {"Cap", 7, 7},
        {"Cap", 19, 7},
        {"Cap", 20, 10},
        {"Heavy Belt", 6, 5},
        {"Heavy Belt", 7, 7},
        {"Heavy Belt", 20, 7},
        {"Heavy Belt", 21, 14},
        {"Chain Hood", 50, 5},
        {"ring", 20, 5},
        {"Ring ", 20, 5},
        {"Ring", -3, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(setWeightTotal(c.item, c.level, "Cave Lurker", 5), c.total)
            << c.item << " " << c.level;
}

TEST(SetWeightTotal, HeavyBootsCountDoubleForCowMonstersFromLevelTwenty) {
    EXPECT_EQ(setWeightTotal("Heavy Boots", 19, "Cow Warden", 3), 7);
    EXPECT_EQ(setWeightTotal("Heavy Boots", 20, "Cow Warden", 3), 14);
    EXPECT_EQ(setWeightTotal("Heavy Boots", 45, "Cowherd", 3), 14);
    EXPECT_EQ(setWeightTotal("Heavy Boots", 45, "cow Warden", 3), 7);
    EXPECT_EQ(setWeightTotal("Heavy Boots", 45, "Co", 3), 7);
}

namespace {

// Chain Hood (no band) with weight 3 and set level 11, flag "0", monster
// Cave Lurker with reduction 0, one pick, no magic find, probability 0.1.
SetChanceInput worked() {
    SetChanceInput in;
    in.p = 0.1;
    in.picks = 1;
    in.monsterLevel = 11;
    in.setLevel = 11;
    in.ratio = 200;
    in.divisor = 2;
    in.baseItem = "Chain Hood";
    in.setWeight = 3;
    in.monsterName = "Cave Lurker";
    return in;
}

std::string both(const SetChanceInput& in) {
    return chanceText(setDropChance(in, SetChanceForm::ItemSearch), '.') + " / " +
           chanceText(setDropChance(in, SetChanceForm::MonsterSearch), '.');
}

std::string errorOf(const SetChanceInput& in, SetChanceForm form) {
    return dropErrorOf([&] { setDropChance(in, form); });
}

} // namespace

TEST(SetDropChance, WorkedNumbersInBothForms) {
    EXPECT_EQ(both(worked()), "0.05 / 0.05");

    SetChanceInput mf = worked();
    mf.realMagicFind = 183; // magic find 200
    EXPECT_EQ(both(mf), "0.1415146 / 0.1415146");

    SetChanceInput cap = worked();
    cap.baseItem = "Cap";
    cap.monsterLevel = 12;
    EXPECT_EQ(both(cap), "0.0215362714 / 0.0215363");

    SetChanceInput reduced = worked();
    reduced.ratio = 150;
    reduced.divisor = 3;
    reduced.setLevel = 30;
    reduced.monsterLevel = 40;
    reduced.reduction = 983;
    reduced.picks = 2;
    reduced.p = 0.05;
    EXPECT_EQ(chanceText(setDropChance(reduced, SetChanceForm::ItemSearch), '.'), "1.7039091306");

    SetChanceInput ring = worked();
    ring.baseItem = "Ring";
    ring.setWeight = 5;
    ring.ratio = 150;
    ring.divisor = 3;
    ring.setLevel = 30;
    ring.monsterLevel = 45;
    ring.p = 0.2;
    EXPECT_EQ(both(ring), "0.0689655 / 0.0689656");

    SetChanceInput none = worked();
    none.picks = 0;
    EXPECT_EQ(both(none), "0 / 0");
}

TEST(SetDropChance, EveryDivisionIsChecked) {
    const std::string byZero = "Floating point division by zero";
    const std::string invalid = "Invalid floating point operation";
    // Changes to the worked example; a divisor of 0 stands for a missing flag.
    const struct {
        std::int32_t divisor, monsterLevel, reduction, realMagicFind, setWeight;
        const char* baseItem;
        std::string error;
    } cases[] = {
        {0, 12, 0, 0, 3, "Chain Hood", byZero},       // (12 - 11) / 0
        {0, 11, 0, 0, 3, "Chain Hood", invalid},      // (11 - 11) / 0
        {2, 11, 0, -100, 3, "Chain Hood", byZero},    // magic find -100
        {2, 11, 1024, 0, 3, "Chain Hood", byZero},    // w truncates to 0
        {2, 11, 0, 3000000, 3, "Chain Hood", byZero}, // w truncates to 0
        {2, 11, 0, 0, 0, "Chain Hood", invalid},      // weight 0 outside the bands
        {2, 14, 0, 0, 0, "Ring", invalid},            // below the ring bands
    };
    for (const auto& c : cases) {
        SetChanceInput in = worked();
        in.divisor = c.divisor;
        in.monsterLevel = c.monsterLevel;
        in.reduction = c.reduction;
        in.realMagicFind = c.realMagicFind;
        in.setWeight = c.setWeight;
        in.baseItem = c.baseItem;
        EXPECT_EQ(errorOf(in, SetChanceForm::ItemSearch), c.error) << &c - cases;
        EXPECT_EQ(errorOf(in, SetChanceForm::MonsterSearch), c.error) << &c - cases;
    }

    // Inside a band a weight of 0 is a share of 0, not an error.
    SetChanceInput band = worked();
    band.baseItem = "Cap";
    band.setWeight = 0;
    EXPECT_EQ(both(band), "0 / 0");
}

// Within qualityKeepingLevel() no set or unique computation divides by zero
// for any quality, even at the largest reduction a level line gives; one
// level further, the weakest quality's does.
TEST(QualityKeepingLevel, BoundsEveryComputationThatCannotFail) {
    const std::int32_t keep = qdc::qualityKeepingLevel();
    const auto setChance = [](qdc::SetQuality quality, std::int32_t level) {
        qdc::SetChanceInput in;
        in.p = 0.5;
        in.picks = 1;
        in.monsterLevel = level;
        in.setLevel = -level;
        in.reduction = 999;
        in.ratio = quality.ratio;
        in.divisor = quality.divisor;
        in.baseItem = "Cap";
        in.setWeight = 1;
        return qdc::setDropChance(in, qdc::SetChanceForm::MonsterSearch);
    };
    const auto uniqueChance = [](qdc::UniqueQuality quality, std::int32_t level) {
        qdc::UniqueChanceInput in;
        in.p = 0.5;
        in.picks = 1;
        in.monsterLevel = level;
        in.uniqueLevel = -level;
        in.qualityReduction = 999;
        in.quality = quality;
        in.baseItem = "Cap";
        return qdc::uniqueDropChance(in, qdc::UniqueChanceForm::MonsterSearch);
    };
    for (const qdc::SetQuality quality : {qdc::qualities().set0, qdc::qualities().set1})
        EXPECT_GT(setChance(quality, keep), 0) << quality.ratio;
    for (const qdc::UniqueQuality quality : {qdc::qualities().unique0, qdc::qualities().unique1})
        EXPECT_GT(uniqueChance(quality, keep), 0) << quality.ratio;
    EXPECT_THROW(setChance(qdc::qualities().set0, keep + 1), qdc::DropError);
}
