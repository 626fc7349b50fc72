#include "search/uniquechance.h"

#include "results/error.h"
#include "results/numtext.h"

namespace qdc {

namespace {

struct Band {
    std::int32_t fromLevel;
    std::int32_t total;
};

// Each band holds from its level up to the next band's level.
constexpr Band kRingBands[] = {{10, 15}, {20, 30}, {39, 31}, {53, 42}, {66, 52}};
constexpr Band kAmuletBands[] = {{14, 20}, {20, 25}, {34, 35}, {55, 40},
                                 {58, 50}, {60, 55}, {73, 65}, {80, 70}};

template <std::size_t N> std::int32_t bandTotal(const Band (&bands)[N], std::int32_t level) {
    std::int32_t total = 1;
    for (const Band& band : bands)
        if (level >= band.fromLevel)
            total = band.total;
    return total;
}

} // namespace

std::int32_t weightTotal(const std::string& baseItem, std::int32_t monsterLevel) {
    if (baseItem == "Ring")
        return bandTotal(kRingBands, monsterLevel);
    if (baseItem == "Amulet")
        return bandTotal(kAmuletBands, monsterLevel);
    return 1;
}

UniqueQuality uniqueQuality(char qualityFlag) {
    if (qualityFlag == '1')
        return qualities().unique1;
    if (qualityFlag == '0')
        return qualities().unique0;
    return {0, 0};
}

double uniqueDropChance(const UniqueChanceInput& in, UniqueChanceForm form) {
    const bool itemSearch = form == UniqueChanceForm::ItemSearch;
    const int rollDigits = itemSearch ? 10 : 6;
    const int shareDigits = itemSearch ? 3 : 8;
    // Levels subtracted in floating point: no 32-bit level difference can wrap.
    const double levelGap = static_cast<double>(in.monsterLevel) - in.uniqueLevel;
    const double x = in.quality.ratio - checkedDivide(levelGap, in.quality.divisor);
    double v = 128 * x - 128 * x * (in.qualityReduction / 1024.0);
    v = checkedDivide(v * 100, static_cast<double>(in.realMagicFind) + 100);
    const double q = roundTo(checkedDivide(128, v), rollDigits);
    const double share =
        roundTo(static_cast<double>(in.uniqueWeight) / weightTotal(in.baseItem, in.monsterLevel),
                shareDigits);
    const double y = share * (in.p * q);
    return roundTo((1 - intPower(1 - y, in.picks)) * 100, 10);
}

} // namespace qdc
