#pragma once

#include "search/quality.h"

#include <cstdint>
#include <string>

namespace qdc {

// The share of unique drops that the uniques of a "Ring" or an "Amulet" split
// between them at a monster level; 1 for every other base item.
std::int32_t weightTotal(const std::string& baseItem, std::int32_t monsterLevel);

// The quality that a base item's quality flag selects for unique items
// (qualities(): "0" gives 500 and 1, "1" gives 300 and 3), no flag 0 and 0.
UniqueQuality uniqueQuality(char qualityFlag);

struct UniqueChanceInput {
    double p = 0; // drop probability of the drop-table line
    std::int32_t picks = 0;
    std::int32_t monsterLevel = 0;
    std::int32_t qualityReduction = 0;
    std::int32_t uniqueLevel = 0;
    UniqueQuality quality;
    std::int32_t realMagicFind = 0; // after its diminishing step
    std::string baseItem;
    std::int32_t uniqueWeight = 1;
};

// The two searches round the unique roll chance and the weight share to
// different decimals.
enum class UniqueChanceForm {
    ItemSearch,    // roll chance to 10 decimals, weight share to 3
    MonsterSearch, // roll chance to 6 decimals, weight share to 8
};

// The chance in percent that one kill drops one particular unique, rounded to
// 10 decimals, the roll chance and weight share rounded as `form` says. A division by zero (quality
// divisor 0, real magic find -100, quality value 0) raises "Floating point division by zero", or
// "Invalid floating point operation" when the dividend is 0 too.
double uniqueDropChance(const UniqueChanceInput& in, UniqueChanceForm form);

} // namespace qdc
