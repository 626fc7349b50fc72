#include "results/convert.h"

#include "results/error.h"

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

std::int32_t toInt(const std::string& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < n && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        throwIntError(text);
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (; i < n; ++i) {
        const int digit = base == 16 ? hexValue(text[i]) : (isDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0)
            throwIntError(text);
        value = value * base + digit;
        if (value > limit)
            throwIntError(text);
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

namespace {

// Checks the shape of a number text; when `plain` is given, writes the number
// there with "." as its decimal point.
bool scanFloat(std::string_view text, char decimalSeparator, std::string* plain) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    auto keep = [&](char c) {
        if (plain != nullptr)
            *plain += c;
    };
    std::size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        keep(text[i++]);
    std::size_t digits = 0;
    for (; i < end && isDigit(text[i]); ++i, ++digits)
        keep(text[i]);
    if (i < end && text[i] == decimalSeparator) {
        keep('.');
        for (++i; i < end && isDigit(text[i]); ++i, ++digits)
            keep(text[i]);
    }
    if (digits == 0)
        return false;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        keep('e');
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            keep(text[i++]);
        std::size_t expDigits = 0;
        for (; i < end && isDigit(text[i]); ++i, ++expDigits)
            keep(text[i]);
        if (expDigits == 0)
            return false;
    }
    return i == end;
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

double toFloatView(std::string_view text, char decimalSeparator) {
    const bool direct = decimalSeparator == '.' && !text.empty() && text.front() != ' ' &&
                        text.front() != '+' && text.back() != ' ' &&
                        scanFloat(text, decimalSeparator, nullptr);
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
    if (text.size() < 300 && isPlainFloatText(text, decimalSeparator))
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
