#pragma once

#include <cstdint>

namespace qdc {

// Magic find after its diminishing step; above 110 each kind has its own
// formula, at or below 110 the value stays as it is.
struct RealMagicFind {
    std::int32_t unique = 0;
    std::int32_t set = 0;
    std::int32_t rare = 0;
};

RealMagicFind realMagicFind(std::int32_t magicFind);
std::int32_t realUniqueMagicFind(std::int32_t magicFind);
std::int32_t realSetMagicFind(std::int32_t magicFind);
std::int32_t realRareMagicFind(std::int32_t magicFind);

} // namespace qdc
