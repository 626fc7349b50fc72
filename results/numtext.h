#pragma once

#include <string>

namespace qdc {

// `value` rounded to `decimals` decimals: divided by 10 to the power of minus
// `decimals`, rounded to the nearest whole number (ties to even), multiplied
// back.
double roundTo(double value, int decimals);

// Cut toward zero to a whole number.
double truncateToWhole(double value);

// (base) to the whole power `exponent`, by repeated squaring; 0 gives 1.
double intPower(double base, int exponent);

// The value with 15 significant digits (a half away from zero), trailing zeros
// dropped, plain from 0.0001 up to below 10^15, in exponent form otherwise.
std::string generalNumberText(double value, char decimalSeparator);

// The general number text, or for a one-digit negative exponent its plain
// small-number form, which always uses ".": 1.5E-5 becomes 0.000015.
std::string chanceText(double chance, char decimalSeparator);
// The same, made from the general number text `s`.
std::string smallNumberForm(std::string s);

} // namespace qdc
