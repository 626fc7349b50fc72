#include "results/resultlist.h"

#include "results/collation.h"

#include <algorithm>

namespace qdc {

std::size_t sortedInsertPosition(const std::vector<std::string>& entries,
                                 const std::string& entry) {
    const auto it = std::upper_bound(
        entries.begin(), entries.end(), entry,
        [](const std::string& a, const std::string& b) { return collate(a, b) < 0; });
    return static_cast<std::size_t>(it - entries.begin());
}

void MemoryResultList::removeAt(int index) {
    if (index < 0 || index >= count())
        return;
    const auto at = static_cast<std::ptrdiff_t>(index);
    entries_.erase(entries_.begin() + at);
    parts_.erase(parts_.begin() + at);
}

void MemoryResultList::add(const std::string& entry) {
    EntryParts parts;
    parts.name = entry;
    const std::size_t pos = sorted_ ? sortedInsertPosition(entries_, entry) : entries_.size();
    const auto at = static_cast<std::ptrdiff_t>(pos);
    entries_.insert(entries_.begin() + at, entry);
    parts_.insert(parts_.begin() + at, std::move(parts));
}

void MemoryResultList::addAll(std::vector<std::string>&& entries) {
    std::vector<EntryParts> parts(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        parts[i].name = entries[i];
    addAll(std::move(entries), std::move(parts));
}

void MemoryResultList::addAll(std::vector<std::string>&& entries, std::vector<EntryParts>&& parts) {
    parts.resize(entries.size());
    const auto before = [](const std::string& a, const std::string& b) {
        return collate(a, b) < 0;
    };
    if (entries_.empty() && (!sorted_ || std::is_sorted(entries.begin(), entries.end(), before))) {
        entries_ = std::move(entries);
        parts_ = std::move(parts);
        return;
    }
    const std::size_t middle = entries_.size();
    entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()),
                    std::make_move_iterator(entries.end()));
    parts_.insert(parts_.end(), std::make_move_iterator(parts.begin()),
                  std::make_move_iterator(parts.end()));
    if (!sorted_)
        return;
    // The order of the texts, stable, then both vectors in that order.
    std::vector<std::size_t> order(entries_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto byText = [&](std::size_t a, std::size_t b) {
        return before(entries_[a], entries_[b]);
    };
    const auto mid = order.begin() + static_cast<std::ptrdiff_t>(middle);
    std::stable_sort(mid, order.end(), byText);
    std::inplace_merge(order.begin(), mid, order.end(), byText);
    std::vector<std::string> texts;
    std::vector<EntryParts> sortedParts;
    texts.reserve(order.size());
    sortedParts.reserve(order.size());
    for (const std::size_t i : order) {
        texts.push_back(std::move(entries_[i]));
        sortedParts.push_back(std::move(parts_[i]));
    }
    entries_ = std::move(texts);
    parts_ = std::move(sortedParts);
}

void MemoryResultList::setLabels(const std::string& nameLabel, const std::string& dropLabel) {
    nameLabel_ = nameLabel;
    dropLabel_ = dropLabel;
}

} // namespace qdc
