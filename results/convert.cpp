#include "results/convert.h"

#include "results/error.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <fast_float/fast_float.h>
#include <optional>

namespace qdc {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a number text of the shape the scanner below checks, with "."
// as its decimal point and no "+" before it: correctly rounded, infinite past
// the largest double.
double readPlain(std::string_view plain) {
    double value = 0;
    fast_float::from_chars(plain.data(), plain.data() + plain.size(), value);
    return value;
}

// The exponent after "e" in a number text, held within +-10^9, which is past
// any exponent that matters.
long long exponentOf(std::string_view text) {
    const std::size_t e = text.find('e');
    if (e == std::string_view::npos)
        return 0;
    std::string_view digits = text.substr(e + 1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (negative || digits.front() == '+'))
        digits.remove_prefix(1);
    long long value = 0;
    for (const char c : digits)
        value = std::min(value * 10 + (c - '0'), 1000000000LL);
    return negative ? -value : value;
}

// Whether a number text that overflowed a double names the largest double with
// 15 significant digits, as the number text writes it: "1.79769313486232E308"
// lies just past it, and must read back as it. Told on the decimal digits:
// 0.DIGITS x 10^EXPONENT below 0.1797693134862325 x 10^309.
bool roundsToLargest(std::string_view plain) {
    const std::string_view mantissa = plain.substr(0, plain.find('e'));
    std::string digits;
    long long point = -1;
    for (const char c : mantissa) {
        if (c == '.')
            point = static_cast<long long>(digits.size());
        else if (isDigit(c))
            digits += c;
    }
    if (point < 0)
        point = static_cast<long long>(digits.size());
    // Leading zeros move the exponent; trailing ones say nothing.
    const std::size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
    digits.erase(digits.find_last_not_of('0') + 1); // all of it when npos
    digits.erase(0, zeros);
    const long long exponent = point - static_cast<long long>(zeros) + exponentOf(plain);
    if (exponent != 309)
        return exponent < 309;
    return digits < "1797693134862325";
}

} // namespace

namespace {

// The text after its leading blanks.
std::string_view withoutLeadingBlanks(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    return text;
}

// The length of what introduces a hexadecimal number at the start of `text`
// ("$", "x", "X", "0x" or "0X"); 0 when nothing does.
std::size_t hexPrefixLength(std::string_view text) {
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X'))
        return 1;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return 2;
    return 0;
}

int digitValue(char c, int base) {
    if (base == 16)
        return hexValue(c);
    return isDigit(c) ? c - '0' : -1;
}

// The value of at least one digit in `base`, or -1 when a character is not
// one of its digits or the value passes `limit`.
std::int64_t digitsValue(std::string_view digits, int base, std::int64_t limit) {
    if (digits.empty())
        return -1;
    std::int64_t value = 0;
    for (const char c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            return -1;
        value = value * base + digit;
        if (value > limit)
            return -1;
    }
    return value;
}

} // namespace

std::int32_t toInt(const std::string& text) {
    std::string_view rest = withoutLeadingBlanks(text);
    const bool negative = !rest.empty() && rest.front() == '-';
    if (!rest.empty() && (negative || rest.front() == '+'))
        rest.remove_prefix(1);
    const std::size_t prefix = hexPrefixLength(rest);
    rest.remove_prefix(prefix);
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    const std::int64_t value = digitsValue(rest, prefix > 0 ? 16 : 10, limit);
    if (value < 0)
        throwIntError(text);
    return static_cast<std::int32_t>(negative ? -value : value);
}

namespace {

// The text without its leading and trailing blanks.
std::string_view withoutBlanks(std::string_view text) {
    text = withoutLeadingBlanks(text);
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

// Reads a number text from left to right: sign, digits, fraction, exponent.
// When `plain` is given, writes there what it has read, with "." as the
// decimal point, "e" before the exponent and no "+" before the number.
class FloatScanner {
  public:
    FloatScanner(std::string_view text, std::string* plain)
        : text_(withoutBlanks(text)), plain_(plain) {}

    // Whether the whole text is a number with `decimalSeparator` as its
    // decimal point.
    bool scan(char decimalSeparator) {
        if (at('+'))
            ++i_; // a plus sign adds nothing to the number
        else
            keepSign();
        std::size_t digits = keepDigits();
        if (at(decimalSeparator)) {
            take('.');
            digits += keepDigits();
        }
        if (digits == 0)
            return false;
        if ((at('e') || at('E')) && !scanExponent())
            return false;
        return i_ == text_.size();
    }

  private:
    bool at(char c) const { return i_ < text_.size() && text_[i_] == c; }

    // Takes the current character, writing `c` for it.
    void take(char c) {
        if (plain_ != nullptr)
            *plain_ += c;
        ++i_;
    }

    void keepSign() {
        if (at('+') || at('-'))
            take(text_[i_]);
    }

    std::size_t keepDigits() {
        const std::size_t start = i_;
        while (i_ < text_.size() && isDigit(text_[i_]))
            take(text_[i_]);
        return i_ - start;
    }

    // The exponent after its "e" or "E": an optional sign, at least one digit.
    bool scanExponent() {
        take('e');
        keepSign();
        return keepDigits() > 0;
    }

    std::string_view text_;
    std::string* plain_;
    std::size_t i_ = 0;
};

// Checks the shape of a number text; when `plain` is given, writes the number
// there with "." as its decimal point.
bool scanFloat(std::string_view text, char decimalSeparator, std::string* plain) {
    return FloatScanner(text, plain).scan(decimalSeparator);
}

} // namespace

double toFloat(const std::string& text, char decimalSeparator) {
    std::string plain;
    if (!scanFloat(text, decimalSeparator, &plain))
        throwFloatError(text);
    const double value = readPlain(plain);
    if (std::isinf(value)) {
        if (!roundsToLargest(plain))
            throwFloatError(text);
        return std::copysign(DBL_MAX, value);
    }
    return value;
}

namespace {

// Whether `text` is only digits, at least one, with at most one decimal
// separator among them: the common shape of a drop chance, told in one pass.
bool isDigitsAndSeparator(std::string_view text, char decimalSeparator) {
    bool digits = false;
    bool separator = false;
    for (const char c : text) {
        if (isDigit(c))
            digits = true;
        else if (c == decimalSeparator && !separator)
            separator = true;
        else
            return false;
    }
    return digits;
}

// The value of a text of at most 15 digits with at most one separator among
// them, or nothing for any other text. Its digits and the power of ten below
// them are both exact doubles (under 2^53 and at most 10^15), so their one
// division is the correctly rounded value, as a full reading gives it.
std::optional<double> shortDecimal(std::string_view text, char decimalSeparator) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (text.size() > 16)
        return std::nullopt;
    std::uint64_t digits = 0;
    int count = 0;
    int afterSeparator = -1;
    for (const char c : text) {
        if (isDigit(c)) {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            ++count;
            afterSeparator += afterSeparator >= 0 ? 1 : 0;
        } else if (c == decimalSeparator && afterSeparator < 0) {
            afterSeparator = 0;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0 || count > 15)
        return std::nullopt;
    return static_cast<double>(digits) / kPowersOfTen[std::max(afterSeparator, 0)];
}

} // namespace

double toFloatView(std::string_view text, char decimalSeparator) {
    if (const std::optional<double> value = shortDecimal(text, decimalSeparator))
        return *value;
    const bool direct = decimalSeparator == '.' && !text.empty() && text.front() != ' ' &&
                        text.front() != '+' && text.back() != ' ' &&
                        (isDigitsAndSeparator(text, decimalSeparator) ||
                         scanFloat(text, decimalSeparator, nullptr));
    if (direct) {
        const double value = readPlain(text);
        if (!std::isinf(value))
            return value;
    }
    return toFloat(std::string(text), decimalSeparator);
}

void checkFloatView(std::string_view text, char decimalSeparator) {
    // A plain number of fewer than 300 characters can neither fail nor overflow.
    if (text.size() < 300 &&
        (isDigitsAndSeparator(text, decimalSeparator) || isPlainFloatText(text, decimalSeparator)))
        return;
    toFloatView(text, decimalSeparator);
}

bool isPlainFloatText(std::string_view text, char decimalSeparator) {
    return text.find_first_of("eE") == std::string_view::npos &&
           scanFloat(text, decimalSeparator, nullptr);
}

std::string withSeparator(std::string text, char decimalSeparator) {
    if (decimalSeparator != '.') {
        for (char& c : text)
            if (c == '.')
                c = decimalSeparator;
    }
    return text;
}

} // namespace qdc
