#include "results/error.h"

#include "results/utf8.h"

#include <cmath>

namespace qdc {

std::string shortened(std::string_view text) {
    constexpr std::size_t kLongest = 200;
    if (text.size() <= kLongest)
        return std::string(text);
    std::string cut(text.substr(0, cutLength(text, kLongest)));
    cut += kEllipsis;
    return cut;
}

namespace {

std::string quoted(const std::string& text) {
    std::string quote(1, '\'');
    quote += shortened(text);
    quote += '\'';
    return quote;
}

} // namespace

void throwIntError(const std::string& text) {
    throw DropError(quoted(text) + " is not a valid integer value");
}

void throwFloatError(const std::string& text) {
    throw DropError(quoted(text) + " is not a valid floating point value");
}

void throwDivisionByZero() {
    throw DropError("Floating point division by zero");
}

void throwInvalidFloatOp() {
    throw DropError("Invalid floating point operation");
}

std::string boxMessage(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

double checkedDivide(double a, double b) {
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a))
            throwInvalidFloatOp();
        throwDivisionByZero();
    }
    return a / b;
}

} // namespace qdc
