#pragma once

#include "cli/commands.h"
#include "results/error.h"

#include <iosfwd>
#include <string>

namespace qdc::cli {

// The output formats of --format.
enum class Format { Text, Tsv, Json };
Format parseFormat(const std::string& name);

// Writes what a command gave, and in JSON the error that ended it (nullptr
// when none did), to standard output.
void writeOutcome(std::ostream& out, const Outcome& outcome, const Settings& settings,
                  Format format, const DropError* error);

// The line that tells where a data error came from: "dropcalc-cli: PATH:LINE:
// TEXT", or "dropcalc-cli: PATH" for a file that could not be opened, with the
// system's own words at the end for a system error. Empty when the error
// carries no location.
std::string locationLine(const DropError& error);

// The note for entries whose chance, summed over the lines after a "-" line,
// is over 100 %; none when no entry's is.
SearchNote overHundredNote(const Outcome& outcome, const Settings& settings);

// Standard error's lines after the output: for a data error the location
// line (when known) and the message as the error box shows it, last;
// otherwise the search's note, if any.
void writeDiagnostics(std::ostream& err, const DropError* error, const SearchNote& note);

} // namespace qdc::cli
