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
    entries_.erase(entries_.begin() + index);
}

void MemoryResultList::add(const std::string& entry) {
    const std::size_t pos = sorted_ ? sortedInsertPosition(entries_, entry) : entries_.size();
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(pos), entry);
}

void MemoryResultList::addAll(std::vector<std::string>&& entries) {
    const auto before = [](const std::string& a, const std::string& b) {
        return collate(a, b) < 0;
    };
    if (entries_.empty() && (!sorted_ || std::is_sorted(entries.begin(), entries.end(), before))) {
        entries_ = std::move(entries);
        return;
    }
    const auto middle = static_cast<std::ptrdiff_t>(entries_.size());
    entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()),
                    std::make_move_iterator(entries.end()));
    if (!sorted_)
        return;
    std::stable_sort(entries_.begin() + middle, entries_.end(), before);
    std::inplace_merge(entries_.begin(), entries_.begin() + middle, entries_.end(), before);
}

void MemoryResultList::setLabels(const std::string& nameLabel, const std::string& dropLabel) {
    nameLabel_ = nameLabel;
    dropLabel_ = dropLabel;
}

} // namespace qdc
