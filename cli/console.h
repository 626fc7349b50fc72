#pragma once

#include "cli/run.h"

#include <string>
#include <vector>

// What the tool asks of the system's console, with a POSIX and a Windows
// answer (console_posix.cpp, console_win.cpp), so that main() reads the same
// on both.

namespace qdc::cli {

// Readies the standard output and error streams for the tool's bytes, before
// anything is written to them: a line ends in LF alone, as on every system.
void prepareOutput();

// The program's arguments, from main()'s `argc` and `argv`; on Windows as
// UTF-8, whatever the console's code page.
std::vector<std::string> programArguments(int argc, char** argv);

// Which of the standard output and error streams are terminals.
Terminals outputTerminals();

} // namespace qdc::cli
