#include "results/odds.h"

#include <algorithm>
#include <cmath>

namespace qdc {

namespace {

constexpr double kPastInt64 = 9223372036854775808.0; // 2^63
constexpr double kExactHalves = 4503599627370496.0;  // 2^52: n + 0.5 is exact below

std::optional<std::int64_t> oneIn(double c) {
    double n = std::round(100 / c);
    if (!(n < kPastInt64))
        return std::nullopt;
    // The quotient was rounded before it was rounded to a whole number: n is
    // checked against 100 / c exactly, as the sign of (n +- 0.5) * c - 100,
    // which fma() rounds only once.
    if (n < kExactHalves) {
        if (std::fma(n + 0.5, c, -100) <= 0)
            n += 1;
        else if (n >= 1 && std::fma(n - 0.5, c, -100) > 0)
            n -= 1;
    }
    return std::max<std::int64_t>(1, static_cast<std::int64_t>(n));
}

std::optional<std::int64_t> kills90(double c) {
    // 1 - c/100 <= 0.1: the first kill is enough.
    if (c >= 90)
        return 1;
    // The least k is k* = ln 10 / -ln(1 - c/100) rounded up, since (1 -
    // c/100)^k is never exactly 0.1 below 90 %. The logarithm of a number
    // near 1 comes from log1p(), and a tiny chance keeps its digits in the
    // wider type; a chance too small for it gives an infinite k*.
    const long double perKill = -std::log1p(-static_cast<long double>(c) / 100);
    const long double k = std::ceil(std::log(10.0L) / perKill);
    if (!(k < kPastInt64))
        return std::nullopt;
    return static_cast<std::int64_t>(k);
}

} // namespace

Odds oddsFor(double chancePercent) {
    if (!std::isfinite(chancePercent) || chancePercent <= 0)
        return {};
    return {oneIn(chancePercent), kills90(chancePercent)};
}

} // namespace qdc
