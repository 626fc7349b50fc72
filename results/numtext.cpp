#include "results/numtext.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <fmt/compile.h>
#include <optional>
#include <string>
#include <string_view>

namespace qdc {

namespace {

double negativePowerOfTen(int decimals) {
    double p = 1.0;
    for (int i = 0; i < decimals; ++i)
        p *= 10.0;
    return 1.0 / p;
}

// Whether the correctly rounded significant digits of `text` ("d.ddd...e...")
// read 5 at the 16th and nothing but zeros after it, up to the exponent: then
// the value may lie exactly halfway at the 15th, and more digits must tell.
bool mayBeTieAtFifteenth(std::string_view text) {
    return text[16] == '5' && text.find_first_not_of('0', 17) == text.find('e');
}

// The first 16 significant digits of `value` (> 0) and its decimal exponent
// e, so that value = 0.d1d2... x 10^e. Seventeen correctly rounded digits
// decide the rounding at the 15th unless they end in "50"; then twenty-five,
// unless they end in "5000000000"; then the exact expansion, which a double
// never needs more than 767 digits for.
// The same from the shortest digits that read back as `value`, when they are
// 15 or fewer: a double that is not subnormal has more than 15 digits of
// precision, so no other decimal of 15 digits lies as near to it; they are
// its digits rounded at the 15th, and no tie can arise there. Nothing when
// more digits are needed.
std::optional<int> shortDecimalDigits(double value, std::array<char, 16>& digits) {
    if (value < DBL_MIN)
        return std::nullopt;
    std::array<char, 32> buf; // written before it is read
    std::string_view text(buf.data(),
                          static_cast<std::size_t>(
                              fmt::format_to(buf.data(), FMT_COMPILE("{}"), value) - buf.data()));
    int exponent = 0;
    if (const std::size_t e = text.find('e'); e != std::string_view::npos) {
        exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
        text = text.substr(0, e);
    }
    std::size_t count = 0; // significant digits so far
    int point = 0;         // digits before the "."
    bool beforePoint = true;
    digits.fill('0');
    for (const char c : text) {
        if (c == '.') {
            beforePoint = false;
            continue;
        }
        if (count == 0 && c == '0') {
            point -= beforePoint ? 0 : 1; // a leading zero after the "."
            continue;
        }
        if (count < digits.size())
            digits[count] = c;
        ++count;
        point += beforePoint ? 1 : 0;
    }
    // Trailing zeros are no significant digits.
    while (count > 0 && count <= digits.size() && digits[count - 1] == '0')
        --count;
    if (count > 15)
        return std::nullopt;
    return point + exponent;
}

int decimalDigits(double value, std::array<char, 16>& digits) {
    if (const std::optional<int> exponent = shortDecimalDigits(value, digits))
        return *exponent;
    std::array<char, 800> buf; // written before it is read
    std::string_view text;
    for (const int precision : {16, 24, 767}) {
        char* end = precision == 16
                        ? fmt::format_to(buf.data(), FMT_COMPILE("{:.16e}"), value)
                        : fmt::format_to(buf.data(), FMT_COMPILE("{:.{}e}"), value, precision);
        *end = '\0'; // for atoi below
        text = std::string_view(buf.data(), static_cast<std::size_t>(end - buf.data()));
        if (!mayBeTieAtFifteenth(text))
            break;
    }
    digits[0] = text[0];
    text.copy(digits.data() + 1, 15, 2);
    return std::atoi(text.data() + text.find('e') + 1) + 1;
}

} // namespace

double roundTo(double value, int decimals) {
    const double factor = negativePowerOfTen(decimals);
    return std::nearbyint(value / factor) * factor;
}

double truncateToWhole(double value) {
    return std::trunc(value);
}

double intPower(double base, int exponent) {
    // Negated as unsigned, which INT_MIN survives.
    const auto magnitude = static_cast<unsigned>(exponent);
    unsigned y = exponent < 0 ? 0U - magnitude : magnitude;
    double b = base;
    double result = 1.0;
    while (y > 0) {
        while ((y & 1U) == 0) {
            y >>= 1;
            b *= b;
        }
        --y;
        result *= b;
    }
    return exponent < 0 ? 1.0 / result : result;
}

namespace {

// The first 15 of `digits`, rounded a half away from zero at the 16th, without
// trailing zeros; a carry out of the first digit raises `exponent`.
std::string roundedDigits(const std::array<char, 16>& digits, int& exponent) {
    std::string kept(digits.data(), 15);
    if (digits[15] >= '5') {
        int i = 14;
        while (i >= 0 && kept[i] == '9') {
            kept[i] = '0';
            --i;
        }
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++exponent;
        } else {
            ++kept[i];
        }
    }
    while (kept.size() > 1 && kept.back() == '0')
        kept.pop_back();
    return kept;
}

// 0.kept x 10^exponent written plainly.
void appendPlain(std::string& text, const std::string& kept, int exponent, char decimalSeparator) {
    const int k = static_cast<int>(kept.size());
    if (exponent >= 1) {
        if (k <= exponent) {
            text += kept + std::string(exponent - k, '0');
        } else {
            text += kept.substr(0, exponent);
            text += decimalSeparator;
            text += kept.substr(exponent);
        }
    } else {
        text += '0';
        text += decimalSeparator;
        text += std::string(-exponent, '0') + kept;
    }
}

// 0.kept x 10^exponent written with an exponent: "d.dddE-e".
void appendScientific(std::string& text, const std::string& kept, int exponent,
                      char decimalSeparator) {
    text += kept[0];
    if (kept.size() > 1) {
        text += decimalSeparator;
        text += kept.substr(1);
    }
    const int e = exponent - 1;
    text += 'E';
    if (e < 0)
        text += '-';
    text += std::to_string(e < 0 ? -e : e);
}

} // namespace

std::string generalNumberText(double value, char decimalSeparator) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0)
        return "0";

    // The decimal digits of the double, then rounding by hand at the 15th
    // significant digit, a half away from zero.
    std::array<char, 16> digits{};
    int exponent = decimalDigits(std::fabs(value), digits); // value = 0.d1d2... x 10^exponent
    const std::string kept = roundedDigits(digits, exponent);

    std::string text = value < 0 ? "-" : "";
    if (exponent >= -3 && exponent <= 15)
        appendPlain(text, kept, exponent, decimalSeparator);
    else
        appendScientific(text, kept, exponent, decimalSeparator);
    return text;
}

std::string chanceText(double chance, char decimalSeparator) {
    return smallNumberForm(generalNumberText(chance, decimalSeparator));
}

std::string smallNumberForm(std::string s) {
    const std::size_t n = s.size();
    // A one-digit negative exponent: "...E-d".
    if (n >= 4 && s[n - 3] == 'E' && s[n - 2] == '-' && s[n - 1] >= '1' && s[n - 1] <= '9') {
        const std::size_t sign = s[0] == '-' ? 1 : 0;
        const int zeros = s[n - 1] - '0' - 1;
        std::string text = sign ? "-" : "";
        text += "0." + std::string(zeros, '0');
        text += s[sign];
        const std::size_t fractionStart = sign + 2;
        const std::size_t ePos = n - 3;
        if (ePos > fractionStart)
            text += s.substr(fractionStart, ePos - fractionStart);
        return text;
    }
    return s;
}

} // namespace qdc
