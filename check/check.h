#pragma once

#include "data/filesource.h"
#include "data/folderlisting.h"

#include <string>
#include <vector>

namespace qdc {

enum class Severity { Error, Warning };

// One problem of the data files. `line` is 1-based, 0 when the problem is the
// file as a whole (it cannot be opened, or nothing names it).
struct Problem {
    std::string path;
    int line = 0;
    Severity severity = Severity::Error;
    std::string message;
    // For a list file that cannot be read: how many search errors only
    // follow from it (they are counted here, not listed).
    int follows = 0;
};

struct CheckReport {
    std::vector<Problem> problems; // sorted by path, then line
    int files = 0;                 // the files read or tried
    int errors() const;
    int warnings() const;
    std::string summary() const; // problemCounts() of its errors and warnings
};

// How many problems were found, as a player reads it: "1 error, 2 warnings",
// "3 warnings"; empty when there are none.
std::string problemCounts(int errors, int warnings);

// Reads every file a search or the start-up can read: the four list files, and
// for each difficulty its monster list, its levels and every drop table the
// monster list names. Errors are the faults that would stop a search or the
// start-up, found by the same readers and conversions; warnings are legal
// but probably unintended. `listing` holds the files found in the
// difficulty folders ("Normal/act2/drake.txt"), those that no monster list
// names are warned about, and what could not be listed, each an error. A data
// folder that could not be opened is that one error. Never throws a
// DropError.
CheckReport checkData(FileSource& files, const FolderListing& listing, char decimalSeparator);

} // namespace qdc
