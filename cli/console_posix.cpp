#include "cli/console.h"

#include <unistd.h>

namespace qdc::cli {

// Text and binary output are the same bytes here.
void prepareOutput() {}

// The bytes as they were given, which name files and entries as the data
// files hold them.
std::vector<std::string> programArguments(int argc, char** argv) {
    return {argv, argv + argc};
}

Terminals outputTerminals() {
    return {::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1};
}

} // namespace qdc::cli
