#pragma once

#include "cli/commands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace qdc::cli {

// What `diff` says in the tool's help.
inline constexpr const char* kDiffSummary =
    "What an edit changed: OLD NEW [COMMAND ARGS...], or every monster's searches";

// `diff OLD NEW [COMMAND ARGS...]`, `words` being OLD, NEW and what follows.
// Writes the rows to `out` in the format of the settings, notes and errors to
// `err`. Returns 0 when nothing changed, 1 when something did, 2 on a data
// error of either folder or when the output could not be written. Raises a
// UsageError for a mistake on the command line.
int runDiff(const Settings& settings, const std::vector<std::string>& words, std::ostream& out,
            std::ostream& err);

} // namespace qdc::cli
