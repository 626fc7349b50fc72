#pragma once

#include "cli/commands.h"
#include "results/answer.h"
#include "results/error.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qdc::cli {

// An error that ended a command, as the outputs tell it.
struct Ending {
    ErrorDescription error;
    std::string stopped; // stoppedNote() of it
};

// `error`, raised while working on the data folder `dataFolder`, which holds
// a "Normal" folder or not.
Ending describeEnding(const DropError& error, std::string_view dataFolder, bool hasNormalFolder);
// Memory ran out: made before it can, so that telling it allocates nothing.
const Ending& outOfMemoryEnding();

// What the outputs tell beside what the command gave.
struct Told {
    std::optional<std::string> heading; // over a search's entries
    // The notes that standard error shows before the search's own note (which
    // the entries carry), without the "dropcalc-cli: note: " in front.
    std::vector<std::string> notes;
    const Ending* ending = nullptr; // the error that ended the command, if one did
};

// Writes what a command gave, in the format of the settings, to standard
// output as it goes; in JSON also the heading, the notes and the error that
// ended the command. Returns how the command ended: `told.ending`, or
// outOfMemoryEnding() when memory ran out while writing; the document is
// whole either way.
const Ending* writeOutcome(std::ostream& out, const Outcome& outcome, const Settings& settings,
                           const Told& told);

class JsonWriter;
// The fields of the JSON object of the error that ended a command: where it
// came from (null when not known), and unless `placeOnly`, the monster-list
// line that names the file, the system's own words, what to do about it and
// what became of the list.
void writeJsonErrorFields(JsonWriter& json, const Ending& ending, bool placeOnly);

// "Out of memory.", made before memory can run out.
const DropError& outOfMemory();

// The line that tells where a data error came from: "dropcalc-cli: PATH:LINE:
// TEXT", or "dropcalc-cli: PATH" for a file that could not be opened, with the
// system's own words at the end for a system error. Empty when the error
// carries no location.
std::string locationLine(const ErrorDescription& error);

// Standard error's lines after the output: for a data error the location
// line (when known) and the message as the error box shows it, last;
// otherwise the search's note, if any.
void writeDiagnostics(std::ostream& err, const Ending* ending, const SearchNote& note);

} // namespace qdc::cli
