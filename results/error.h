#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qdc {

// Where a data error came from.
struct ErrorLocation {
    // Relative to the data directory, "/" between its parts; the data
    // directory itself, as given, when it could not be opened.
    std::string path;
    int line = 0;     // 1-based; 0 when the file could not be opened or read
    std::string text; // the line as read (empty for an open error)
};

// The one error type of the core. Its message is the text the user sees; the
// window and the command-line tool show it through boxMessage(). The message
// keeps all its bytes, NUL included: read it with message(), not what().
class DropError : public std::runtime_error {
  public:
    explicit DropError(const std::string& message, std::string detail = {})
        : std::runtime_error(message), message_(message), detail_(std::move(detail)) {}

    const std::string& message() const { return message_; }
    // The system's own words for a system error ("Too many levels of symbolic
    // links"); empty otherwise.
    const std::string& detail() const { return detail_; }
    const std::optional<ErrorLocation>& location() const { return location_; }
    // Sets the location unless one is set already: the innermost reader knows
    // best where it was.
    void locate(ErrorLocation location) {
        if (!location_)
            location_ = std::move(location);
    }
    // For a drop table that could not be opened: the monster-list line that
    // names it.
    const std::optional<ErrorLocation>& namedBy() const { return namedBy_; }
    void setNamedBy(ErrorLocation line) { namedBy_ = std::move(line); }

  private:
    std::string message_;
    std::string detail_;
    std::optional<ErrorLocation> location_;
    std::optional<ErrorLocation> namedBy_;
};

// Where a reader of the data reports an error of a line it cannot convert.
// The searches stop at the first one (raisingSink()); the checker collects
// every one and reads on, past lines a search never reaches.
class ErrorSink {
  public:
    virtual void error(const DropError& e) = 0;

  protected:
    ErrorSink() = default;
    ~ErrorSink() = default;
    ErrorSink(const ErrorSink&) = default;
    ErrorSink& operator=(const ErrorSink&) = default;
};

// The searches' sink: raises the error.
class RaisingSink final : public ErrorSink {
  public:
    void error(const DropError& e) override { throw e; }
};
inline RaisingSink theRaisingSink; // constant-initialized: no guard on each use
inline ErrorSink& raisingSink() {
    return theRaisingSink;
}

// A text as messages and locations quote it: one longer than 200 bytes is cut
// to its first 200 bytes (fewer when that would split a character of a text
// that is UTF-8) followed by "…" (UTF-8), so that a huge line never makes a
// huge message.
std::string shortened(std::string_view text);
inline constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

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
