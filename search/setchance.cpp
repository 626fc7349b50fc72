#include "search/setchance.h"

#include "results/error.h"
#include "results/numtext.h"

namespace qdc {

bool beginsWithCow(const std::string& name) {
    return name.compare(0, 3, "Cow") == 0;
}

std::int32_t setWeightTotal(const std::string& baseItem, std::int32_t level,
                            const std::string& monsterName, std::int32_t setWeight) {
    if (baseItem == "Ring") {
        if (level >= 17)
            return 10;
        if (level >= 15)
            return 7;
    } else if (baseItem == "Amulet") {
        if (level >= 39)
            return 49;
        if (level >= 27)
            return 48;
        if (level == 26)
            return 39;
        if (level >= 21)
            return 38;
        if (level == 20)
            return 29;
        if (level == 19)
            return 28;
        if (level >= 17)
            return 21;
        if (level >= 15)
            return 14;
        if (level >= 13)
            return 7;
    } else if (baseItem == "Light Gauntlets") {
        if (level >= 23)
            return 14;
        if (level >= 3)
            return 7;
    } else if (baseItem == "Heavy Boots") {
        return beginsWithCow(monsterName) && level >= 20 ? 14 : 7;
    } else if (baseItem == "Belt") {
        if (level >= 28)
            return 14;
        if (level >= 4)
            return 7;
    } else if (baseItem == "Cap") {
        if (level >= 20)
            return 10;
        if (level >= 7)
            return 7;
    } else if (baseItem == "Heavy Belt") {
        if (level >= 21)
            return 14;
        if (level >= 7)
            return 7;
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
        return {200, 2};
    if (flag == '1')
        return {150, 3};
    return {};
}

} // namespace qdc
