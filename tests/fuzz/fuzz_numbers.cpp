// Number conversions and number texts. Besides surviving any input, they keep
// these promises:
// - a whole number reads back from its own decimal text;
// - a number's text (and chance text) reads back to within its 15 digits;
// - a text that looks plain converts;
// - a message quotes at most the first 200 bytes of what it could not read.

#include "results/convert.h"
#include "results/error.h"
#include "results/numtext.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kLongestMessage = 200 + 60;

void check(bool ok) {
    if (!ok)
        std::abort();
}

void readsBack(double value, const std::string& text, char separator) {
    const double back = qdc::toFloat(text, separator);
    check(std::fabs(back - value) <= std::fabs(value) * 1e-14 + 5e-324);
}

void numberTexts(double value, char separator) {
    if (!std::isfinite(value))
        return;
    readsBack(value, qdc::generalNumberText(value, separator), separator);
    readsBack(value, qdc::chanceText(value, '.'), '.');
}

void conversions(const std::string& text, char separator) {
    try {
        const std::int32_t n = qdc::toInt(text);
        check(qdc::toInt(std::to_string(n)) == n);
    } catch (const qdc::DropError& e) {
        check(e.message().size() <= kLongestMessage);
    }
    const bool plain = qdc::isPlainFloatText(text, separator);
    try {
        numberTexts(qdc::toFloat(text, separator), separator);
    } catch (const qdc::DropError& e) {
        check(!plain || text.size() > 308); // 309 digits may overflow
        check(e.message().size() <= kLongestMessage);
    }
}

void arithmetic(const std::uint8_t* data) {
    double value = 0;
    std::int32_t exponent = 0;
    std::memcpy(&value, data, sizeof value);
    std::memcpy(&exponent, data + sizeof value, sizeof exponent);
    numberTexts(value, ',');
    qdc::intPower(value, exponent);
    qdc::roundTo(value, static_cast<int>(static_cast<unsigned>(exponent) % 24));
    qdc::truncateToWhole(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const char separator = (data[0] & 1U) != 0 ? ',' : '.';
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    conversions(text, separator);
    if (text.size() >= sizeof(double) + sizeof(std::int32_t))
        arithmetic(data + 1);
    check(qdc::withSeparator(text, separator).size() == text.size());
    return 0;
}
