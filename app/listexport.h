#pragma once

#include "results/entry.h"

#include <QString>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// An entry's name and chance text: split at its first "=", or at the wide
// separator of an entry rewritten by the separator command; `mode` tells
// which part comes first.
std::pair<std::string, std::string> entryParts(const std::string& entry, qdc::SortMode mode);

// An entry's chance as a number, read as the merge pass reads it; none when
// its chance text is no number.
std::optional<double> entryChance(const std::string& entry, qdc::SortMode mode,
                                  char decimalSeparator);

// The entries as the command-line tool prints them: one a line, each ended by
// a line feed.
std::string entriesText(const std::vector<std::string>& entries);

// The entries as a CSV file: a heading line, then one line of name, chance
// text, N of "1 in N" and the kills for 90 % for each entry (the last two
// empty when the chance gives none), a field quoted when it holds a comma,
// a quote or a line break.
std::string entriesCsv(const std::vector<std::string>& entries, qdc::SortMode mode,
                       char decimalSeparator);

// Writes `bytes` to `path`, replacing the file only once all is written.
// Returns the reason it could not, or an empty text.
QString saveFile(const QString& path, const std::string& bytes);
