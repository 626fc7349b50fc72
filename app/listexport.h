#pragma once

#include "results/entry.h"

#include <QString>

#include <string>
#include <vector>

// The entries as the command-line tool prints them: one a line, each ended by
// a line feed.
std::string entriesText(const std::vector<std::string>& entries);

// The entries as a CSV file: a heading line "Name,% Drop Chance", then one
// line of name and chance text for each entry, a field quoted when it holds a
// comma, a quote or a line break. `mode` tells which part of an entry comes
// first; an entry rewritten by the separator command is split at its blanks.
std::string entriesCsv(const std::vector<std::string>& entries, qdc::SortMode mode);

// Writes `bytes` to `path`, replacing the file only once all is written.
// Returns the reason it could not, or an empty text.
QString saveFile(const QString& path, const std::string& bytes);
