#include "results/entry.h"

#include "results/collation.h"
#include "results/convert.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <vector>

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

namespace {

std::string widened(const std::string& entry) {
    std::string wide;
    // Room for four widened separators; more let the text grow.
    wide.reserve(entry.size() + (kWideSeparator.size() - 1) * 4);
    for (const char c : entry) {
        if (c == '=')
            wide += kWideSeparator;
        else
            wide += c;
    }
    return wide;
}

// Where a walk over a sorted list leaves a run of equal entries (collate() 0)
// that hold no "=": each is taken at its index and added again after the
// run's last one, so that the one behind it moves up and is passed over.
// `run` holds the entries' indices.
void reorderAsReAdded(std::vector<int>& run) {
    std::deque<int> walked(run.begin(), run.end());
    for (int& placed : run) {
        walked.push_back(walked.front());
        walked.pop_front();
        placed = walked.front();
        walked.pop_front();
    }
}

} // namespace

// The command is a walk that takes each entry out and adds it rewritten.
// Sorted, a rewritten entry sorts before the one it replaces (a blank before
// "="), so every entry is rewritten once and the list ends sorted by the new
// texts; among equal texts, those rewritten later come after those that were
// equal before, in list order. Done here in one sort, with the same order.
// Each entry keeps its parts.
void widenSeparators(ResultList& list) {
    const int n = list.count();
    // The entries' indices in their new order.
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(n));
    std::vector<std::string> texts(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        texts[static_cast<std::size_t>(i)] = widened(list.at(i));
    const auto unchanged = [&](int i) { return list.at(i).find('=') == std::string::npos; };
    if (!list.sorted()) {
        // Each is taken from the front and appended: the order stays.
        for (int i = 0; i < n; ++i)
            order.push_back(i);
    } else {
        std::vector<int> run;
        for (int i = 0; i < n;) {
            if (!unchanged(i)) {
                order.push_back(i++);
                continue;
            }
            const int first = i;
            run.assign(1, i);
            for (++i; i < n && unchanged(i) && collate(list.at(i), list.at(first)) == 0; ++i)
                run.push_back(i);
            reorderAsReAdded(run);
            order.insert(order.end(), run.begin(), run.end());
        }
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return collate(texts[static_cast<std::size_t>(a)], texts[static_cast<std::size_t>(b)]) <
                   0;
        });
    }
    std::vector<std::string> entries;
    std::vector<EntryParts> parts;
    entries.reserve(order.size());
    parts.reserve(order.size());
    for (const int i : order) {
        entries.push_back(std::move(texts[static_cast<std::size_t>(i)]));
        parts.push_back(list.partsAt(i));
    }
    list.clear();
    list.addAll(std::move(entries), std::move(parts));
}

std::size_t plainNameOffset(std::string_view entry, const EntryParts& parts) {
    const std::string_view name = parts.name;
    if (entry.starts_with(name)) {
        const std::string_view rest = entry.substr(name.size());
        if (rest.starts_with('=') || rest.starts_with(kWideSeparator))
            return 0;
    }
    return entry.size() >= name.size() ? entry.size() - name.size() : 0;
}

} // namespace qdc
