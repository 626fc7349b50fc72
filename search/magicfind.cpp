#include "search/magicfind.h"

#include <cmath>

namespace qdc {

namespace {

// (m - 100) * factor / (m + offset), truncated, plus 100; worked in 64 bits so
// that no 32-bit value overflows.
std::int32_t diminished(std::int32_t m, std::int64_t factor, std::int64_t offset) {
    if (m <= 110)
        return m;
    const std::int64_t d = static_cast<std::int64_t>(m) - 100;
    const double quotient = static_cast<double>(d * factor) /
                            static_cast<double>(static_cast<std::int64_t>(m) + offset);
    return static_cast<std::int32_t>(std::trunc(quotient)) + 100;
}

} // namespace

std::int32_t realUniqueMagicFind(std::int32_t m) {
    return diminished(m, 250, 150);
}
std::int32_t realSetMagicFind(std::int32_t m) {
    return diminished(m, 500, 400);
}
std::int32_t realRareMagicFind(std::int32_t m) {
    return diminished(m, 600, 500);
}

RealMagicFind realMagicFind(std::int32_t m) {
    return {realUniqueMagicFind(m), realSetMagicFind(m), realRareMagicFind(m)};
}

} // namespace qdc
