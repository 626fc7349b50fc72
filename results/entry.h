#pragma once

#include "results/resultlist.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qdc {

// Name first and chance first are sorted by the entry's text; highest first
// has chance-first entries sorted by the chance as a number, highest first,
// equal chances in name order.
enum class SortMode { NameFirst, ChanceFirst, Highest };

// Whether a list of this mode places its entries by their text. A list sorted
// highest first is not: the search hands it its entries in their order.
inline bool placedByText(SortMode mode) {
    return mode != SortMode::Highest;
}

// What a search starts with: the list sorted, emptied, and the column labels
// set for the sort mode.
void startSearch(ResultList& list, SortMode mode);
void setLabelsFor(ResultList& list, SortMode mode);

// "name=chance" or "chance=name".
std::string makeEntry(const std::string& name, const std::string& chanceText, SortMode mode);

struct ReadEntry {
    std::string name;
    double chance = 0;
};

// Splits an entry at its first "=" and converts its chance part (after every
// "." in it has become the decimal separator).
ReadEntry readEntry(const std::string& entry, SortMode mode, char decimalSeparator);

// Removes every entry named `name` and returns `newChance` plus their chances.
double mergePass(ResultList& list, const std::string& name, double newChance, SortMode mode,
                 char decimalSeparator);

// The item separator command: every "=" of every entry becomes ten blanks,
// each rewritten entry placed again by its text (kept in its place when the
// list is not sorted).
void widenSeparators(ResultList& list);

// The wide separator: ten blanks.
inline const std::string kWideSeparator(10, ' ');

// Where an entry's name without its difficulty suffix stands in the entry's
// text `entry`, made from `parts`: at its start when the text begins with the
// name and a separator ("=" or kWideSeparator), else before the suffix at its
// end. Gives the byte offset.
std::size_t plainNameOffset(std::string_view entry, const EntryParts& parts);

} // namespace qdc
