#pragma once

#include <stdexcept>
#include <string>

namespace qdc {

// The one error type of the core. Its message is the text the user sees; the
// window and the command-line tool show it through boxMessage().
class DropError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void throwIntError(const std::string& text);
[[noreturn]] void throwFloatError(const std::string& text);
[[noreturn]] void throwDivisionByZero();
[[noreturn]] void throwInvalidFloatOp();

// The message as the error box shows it: a "." is appended when the last
// character sorts after ".".
std::string boxMessage(const std::string& message);

// a / b with the checks the searches need: b == 0 raises "Floating point
// division by zero" (or "Invalid floating point operation" for 0 / 0).
double checkedDivide(double a, double b);

} // namespace qdc
