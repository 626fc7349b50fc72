#include "results/entry.h"

#include "results/convert.h"

namespace qdc {

void setLabelsFor(ResultList& list, SortMode mode) {
    if (mode == SortMode::NameFirst)
        list.setLabels("Name", "% Drop Chance");
    else
        list.setLabels("% Drop Chance", "Name");
}

void startSearch(ResultList& list, SortMode mode) {
    list.setSorted(placedByText(mode));
    list.clear();
    setLabelsFor(list, mode);
}

std::string makeEntry(const std::string& name, const std::string& chanceText, SortMode mode) {
    return mode == SortMode::NameFirst ? name + "=" + chanceText : chanceText + "=" + name;
}

ReadEntry readEntry(const std::string& entry, SortMode mode, char decimalSeparator) {
    const std::size_t eq = entry.find('=');
    const std::string before = eq == std::string::npos ? entry : entry.substr(0, eq);
    const std::string after = eq == std::string::npos ? std::string() : entry.substr(eq + 1);
    // Only the chance part gets the separator: names keep their full stops, so
    // that they still equal the name being merged in every locale.
    ReadEntry result;
    if (mode == SortMode::NameFirst) {
        result.name = before;
        result.chance = toFloat(withSeparator(after, decimalSeparator), decimalSeparator);
    } else {
        result.name = after;
        result.chance = toFloat(withSeparator(before, decimalSeparator), decimalSeparator);
    }
    return result;
}

double mergePass(ResultList& list, const std::string& name, double newChance, SortMode mode,
                 char decimalSeparator) {
    int i = 0;
    while (i < list.count()) {
        const std::string& entry = list.at(i);
        const std::string_view text(entry);
        const std::size_t eq = text.find('=');
        const std::string_view before = text.substr(0, eq);
        const std::string_view after =
            eq == std::string_view::npos ? std::string_view() : text.substr(eq + 1);
        const std::string_view entryName = mode == SortMode::NameFirst ? before : after;
        const std::string_view chance = mode == SortMode::NameFirst ? after : before;
        if (entryName == name) {
            const double old = readEntry(entry, mode, decimalSeparator).chance;
            list.removeAt(i);
            newChance = (old / 100 + newChance / 100) * 100;
            continue;
        }
        // Other entries are read too, so that one whose chance does not convert
        // ends the search; a plain number is told by its shape alone.
        if (!isPlainFloatText(chance, decimalSeparator) ||
            (decimalSeparator != '.' && chance.find('.') != std::string_view::npos))
            readEntry(entry, mode, decimalSeparator);
        ++i;
    }
    return newChance;
}

void widenSeparators(ResultList& list) {
    const int n = list.count();
    // Unsorted, each entry is taken from the front and appended: one round
    // leaves the order as it was.
    const bool sorted = list.sorted();
    for (int i = 0; i < n; ++i) {
        const int at = sorted ? i : 0;
        std::string entry = list.at(at);
        std::string wide;
        // Room for four widened separators; more let the text grow.
        wide.reserve(entry.size() + (kWideSeparator.size() - 1) * 4);
        for (char c : entry) {
            if (c == '=')
                wide += kWideSeparator;
            else
                wide += c;
        }
        list.removeAt(at);
        list.add(wide);
    }
}

} // namespace qdc
