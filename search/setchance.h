#pragma once

#include "search/uniquechance.h"

#include <cstdint>
#include <string>

namespace qdc {

// True when the first three characters of `name` are exactly "Cow". A set item
// whose name begins with "Cow" is listed only for monsters whose names do too.
bool beginsWithCow(const std::string& name);

// The weight total T that a set item's weight is divided by: fixed by bands of
// monster level for the seven shared base items (for "Heavy Boots" also by the
// monster name), and the set item's own weight everywhere else.
std::int32_t setWeightTotal(const std::string& baseItem, std::int32_t monsterLevel,
                            const std::string& monsterName, std::int32_t setWeight);

// The two searches round the set drop chance at different steps.
enum class SetChanceForm {
    ItemSearch,    // q = 128 / w to 8 decimals; y = (q * p) * (weight / T) to 15 decimals
    MonsterSearch, // q = (128 / w) * (weight / T) to 8 decimals; y = p * q to 10 decimals
};

struct SetChanceInput {
    double p = 0; // the drop-table line's probability
    std::int32_t picks = 0;
    std::int32_t monsterLevel = 0;
    std::int32_t reduction = 0;
    std::int32_t setLevel = 0;
    std::int32_t ratio = 0;
    std::int32_t divisor = 0;
    std::int32_t realMagicFind = 0;
    std::string baseItem;
    std::int32_t setWeight = 0;
    std::string monsterName;
};

// The chance in percent that one kill drops the set item, rounded to 10
// decimals. Every division is checked: a zero divisor raises "Floating point
// division by zero", or "Invalid floating point operation" for 0 / 0.
double setDropChance(const SetChanceInput& in, SetChanceForm form);

// The quality that an item's quality flag selects in the set searches
// (qualities(): "0" gives 200 and 2, "1" gives 150 and 3), no flag 0 and 0.
SetQuality setQualityFor(char flag);

} // namespace qdc
