#pragma once

#include <streambuf>
#include <string>

namespace qdc::cli {

// Passes what is written on to `target` line by line, with each control
// character (C0 but TAB and line feed, DEL, C1) shown as "\xHH", so that
// text from the data cannot act on the terminal it is printed on. C1 is the
// bytes 0x80 to 0x9F in a line that is not UTF-8, the characters U+0080 to
// U+009F in one that is.
class TerminalBuf : public std::streambuf {
  public:
    explicit TerminalBuf(std::streambuf* target) : target_(target) {}

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

  private:
    bool flushLine(); // false when the target refused bytes
    std::streambuf* target_;
    std::string line_;
    bool failed_ = false;
};

// `line` as TerminalBuf shows it.
std::string terminalSafe(const std::string& line);

} // namespace qdc::cli
