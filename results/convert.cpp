#include "results/convert.h"

#include "results/error.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

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

// strtod under the "C" locale, whatever the process's locale is.
double cStrtod(const char* text, char** end) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text, end, cLocale);
}

// Whether a number text that overflowed a double names the largest double with
// 15 significant digits, as the number text writes it: "1.79769313486232E308"
// lies just past it, and must read back as it.
bool roundsToLargest(const std::string& plain) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const long double value = std::fabs(strtold_l(plain.c_str(), nullptr, cLocale));
    return value < 1.797693134862325e308L;
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
// decimal point and "e" before the exponent.
class FloatScanner {
  public:
    FloatScanner(std::string_view text, std::string* plain)
        : text_(withoutBlanks(text)), plain_(plain) {}

    // Whether the whole text is a number with `decimalSeparator` as its
    // decimal point.
    bool scan(char decimalSeparator) {
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
    // The correctly rounded value at once; anything out of the ordinary (a
    // "+" sign, overflow, underflow) goes the way of strtod.
    double quick = 0;
    const char* const last = plain.data() + plain.size();
    const auto parsed = std::from_chars(plain.data(), last, quick);
    if (parsed.ec == std::errc() && parsed.ptr == last)
        return quick;
    errno = 0;
    char* stop = nullptr;
    const double value = cStrtod(plain.c_str(), &stop);
    if (errno == ERANGE && std::isinf(value)) {
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

} // namespace

double toFloatView(std::string_view text, char decimalSeparator) {
    const bool direct = decimalSeparator == '.' && !text.empty() && text.front() != ' ' &&
                        text.front() != '+' && text.back() != ' ' &&
                        (isDigitsAndSeparator(text, decimalSeparator) ||
                         scanFloat(text, decimalSeparator, nullptr));
    if (direct) {
        double value = 0;
        const char* const last = text.data() + text.size();
        const auto parsed = std::from_chars(text.data(), last, value);
        if (parsed.ec == std::errc() && parsed.ptr == last)
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
