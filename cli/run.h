#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qdc {

// Which of the tool's two output streams are terminals: what is printed
// there has its control characters shown escaped.
struct Terminals {
    bool out = false;
    bool err = false;
};

// The command-line tool: parses `argv`, runs the command, writes the result
// entries to `out` and errors to `err`. Returns the exit status: 0, 1 for a
// data error, 2 for a usage error. `localeSeparator` is the decimal separator
// used when --decimal-separator is not given.
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           char localeSeparator, Terminals terminals = {});

// The same with the words that follow the program's name, each of which may
// hold any byte, a NUL too: the web edition's way in.
int runCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
           char localeSeparator, Terminals terminals = {});

} // namespace qdc
