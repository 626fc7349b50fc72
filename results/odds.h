#pragma once

#include <cstdint>
#include <optional>

namespace qdc {

// A drop chance as odds a player reads at a glance.
struct Odds {
    // "1 in N": 100 / c to the nearest whole number (a half rounds up), at
    // least 1.
    std::optional<std::int64_t> oneIn;
    // The kills it takes to see the drop with 90 % certainty: the least k with
    // 1 - (1 - c/100)^k >= 0.9.
    std::optional<std::int64_t> kills90;
};

// The odds of a chance of `chancePercent` percent (c). Both are empty when
// the chance is 0, negative or not finite, and each is empty when its number
// does not fit 64 bits.
Odds oddsFor(double chancePercent);

} // namespace qdc
