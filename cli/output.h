#pragma once

#include "cli/commands.h"
#include "results/error.h"

#include <iosfwd>
#include <string>

namespace qdc::cli {

// Writes what a command gave, in the format of the settings, to standard
// output as it goes; in JSON also the error that ended the command (nullptr
// when none did). Returns the error that ended the command: `error`, or
// outOfMemory() when memory ran out while writing; the document is whole
// either way.
const DropError* writeOutcome(std::ostream& out, const Outcome& outcome, const Settings& settings,
                              const DropError* error);

// "Out of memory.", made before memory can run out.
const DropError& outOfMemory();

// The line that tells where a data error came from: "dropcalc-cli: PATH:LINE:
// TEXT", or "dropcalc-cli: PATH" for a file that could not be opened, with the
// system's own words at the end for a system error. Empty when the error
// carries no location.
std::string locationLine(const DropError& error);

// Standard error's lines after the output: for a data error the location
// line (when known) and the message as the error box shows it, last;
// otherwise the search's note, if any.
void writeDiagnostics(std::ostream& err, const DropError* error, const SearchNote& note);

} // namespace qdc::cli
