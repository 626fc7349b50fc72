#pragma once

#include <QString>

#include <string>
#include <vector>

// The entries as the command-line tool prints them: one a line, each ended by
// a line feed. (The CSV file is the core's: qdc::entriesCsv.)
std::string entriesText(const std::vector<std::string>& entries);

// Writes `bytes` to `path`, replacing the file only once all is written.
// Returns the reason it could not, or an empty text.
QString saveFile(const QString& path, const std::string& bytes);
