#include "search/setchance.h"

#include "results/error.h"
#include "results/numtext.h"

#include <array>
#include <string_view>

namespace qdc {

bool beginsWithCow(const std::string& name) {
    return name.compare(0, 3, "Cow") == 0;
}

namespace {

// From `fromLevel` on, sets of `item` count against `total` rather than their
// own weight.
struct WeightBand {
    std::string_view item;
    std::int32_t fromLevel;
    std::int32_t total;
};

// Each item's bands from the highest level down; the first that a level
// reaches is its band.
constexpr std::array kWeightBands{
    WeightBand{"Ring", 17, 10},
    WeightBand{"Ring", 15, 7},
    WeightBand{"Amulet", 39, 49},
    WeightBand{"Amulet", 27, 48},
    WeightBand{"Amulet", 26, 39},
    WeightBand{"Amulet", 21, 38},
    WeightBand{"Amulet", 20, 29},
    WeightBand{"Amulet", 19, 28},
    WeightBand{"Amulet", 17, 21},
    WeightBand{"Amulet", 15, 14},
    WeightBand{"Amulet", 13, 7},
    WeightBand{"Light Gauntlets", 23, 14},
    WeightBand{"Light Gauntlets", 3, 7},
    WeightBand{"Belt", 28, 14},
    WeightBand{"Belt", 4, 7},
    WeightBand{"Cap", 20, 10},
    WeightBand{"Cap", 7, 7},
    WeightBand{"Heavy Belt", 21, 14},
    WeightBand{"Heavy Belt", 7, 7},
};

} // namespace

std::int32_t setWeightTotal(const std::string& baseItem, std::int32_t level,
                            const std::string& monsterName, std::int32_t setWeight) {
    // Heavy boots count against 7 at every level, and against 14 from level
    // 20 for the cows.
    if (baseItem == "Heavy Boots")
        return beginsWithCow(monsterName) && level >= 20 ? 14 : 7;
    for (const WeightBand& band : kWeightBands) {
        if (band.item == baseItem && level >= band.fromLevel)
            return band.total;
    }
    return setWeight;
}

double setDropChance(const SetChanceInput& in, SetChanceForm form) {
    const double x = truncateToWhole(
        in.ratio - checkedDivide(double(in.monsterLevel) - double(in.setLevel), in.divisor));
    const double v = 128 * x - 128 * x * checkedDivide(in.reduction, 1024);
    const double w = truncateToWhole(checkedDivide(v * 100, double(in.realMagicFind) + 100));
    const double total = setWeightTotal(in.baseItem, in.monsterLevel, in.monsterName, in.setWeight);
    double y;
    if (form == SetChanceForm::ItemSearch) {
        const double q = roundTo(checkedDivide(128, w), 8);
        y = roundTo((q * in.p) * checkedDivide(in.setWeight, total), 15);
    } else {
        const double q = roundTo(checkedDivide(128, w) * checkedDivide(in.setWeight, total), 8);
        y = roundTo(in.p * q, 10);
    }
    return roundTo((1 - intPower(1 - y, in.picks)) * 100, 10);
}

SetQuality setQualityFor(char flag) {
    if (flag == '0')
        return qualities().set0;
    if (flag == '1')
        return qualities().set1;
    return {};
}

} // namespace qdc
