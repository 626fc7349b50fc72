#pragma once

#include "results/error.h"
#include "results/resultlist.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qdc {

// An error as every face tells it: what went wrong, where in the data, and
// what the player can do about it. Texts from the data keep their bytes:
// shownText() shows them.
struct ErrorDescription {
    std::string message; // as the error box shows it
    // The file it came from, relative to the data folder (empty when not
    // known), the 1-based line (0 for a file as a whole) and the line's text,
    // quoted as messages quote it.
    std::string path;
    int line = 0;
    std::string text;
    std::string detail;            // the system's own words, if any
    bool dataFolderItself = false; // `path` is the data folder, which could not be opened
    // For a drop table that could not be opened: the monster-list line that
    // names it.
    std::optional<ErrorLocation> namedBy;
    std::string hint; // what to do about it; empty when there is nothing to say
};

// Describes `error`, raised while working on the data folder `dataFolder`
// (as the file source was given it), which holds a "Normal" folder or not.
ErrorDescription describeError(const DropError& error, std::string_view dataFolder,
                               bool hasNormalFolder);
// Memory ran out.
ErrorDescription outOfMemoryError();

// Said over the entries that a search found before an error ended it.
std::string stoppedNote(const ErrorDescription& error);

// The note for entries whose chance, summed over the lines after a "-" line,
// is over 100 %; none when no entry's is.
std::optional<std::string> overHundredNote(const MemoryResultList& list);

// The list as a CSV file (RFC 4180, lines ended by CR LF, UTF-8): a heading,
// then for each entry its name without the difficulty suffix, the
// difficulty, the chance text as listed, N of "1 in N" and the kills for a
// 90 % chance (those two empty when the chance gives none).
std::string entriesCsv(const MemoryResultList& list);

} // namespace qdc
