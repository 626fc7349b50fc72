#include "results/resultlist.h"

#include "results/collation.h"
#include "results/entry.h"

#include <algorithm>
#include <unordered_map>

namespace qdc {

std::size_t sortedInsertPosition(const std::vector<std::string>& entries,
                                 const std::string& entry) {
    const auto it = std::upper_bound(
        entries.begin(), entries.end(), entry,
        [](const std::string& a, const std::string& b) { return collate(a, b) < 0; });
    return static_cast<std::size_t>(it - entries.begin());
}

namespace {

// An entry's text with every "=" widened, as the item separator command
// leaves it.
std::string widenedText(std::string_view text) {
    std::string wide;
    for (const char c : text) {
        if (c == '=')
            wide += kWideSeparator;
        else
            wide += c;
    }
    return wide;
}

} // namespace

void MemoryResultList::clear() {
    takenTexts_ = std::move(entries_);
    takenParts_ = std::move(parts_);
    entries_.clear();
    parts_.clear();
}

void MemoryResultList::removeAt(int index) {
    if (index < 0 || index >= count())
        return;
    const auto at = static_cast<std::ptrdiff_t>(index);
    takenTexts_.push_back(std::move(entries_[static_cast<std::size_t>(index)]));
    takenParts_.push_back(std::move(parts_[static_cast<std::size_t>(index)]));
    entries_.erase(entries_.begin() + at);
    parts_.erase(parts_.begin() + at);
}

std::vector<EntryParts> MemoryResultList::partsTakenBack(const std::vector<std::string>& texts) {
    std::vector<EntryParts> parts(texts.size());
    if (takenTexts_.empty()) {
        for (std::size_t i = 0; i < texts.size(); ++i)
            parts[i].name = texts[i];
        return parts;
    }
    // The entries taken out by their widened text, each given back once, in
    // the order they were taken.
    std::unordered_map<std::string, std::vector<std::size_t>> taken;
    for (std::size_t i = takenTexts_.size(); i-- > 0;)
        taken[widenedText(takenTexts_[i])].push_back(i);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto found = taken.find(widenedText(texts[i]));
        if (found == taken.end() || found->second.empty()) {
            parts[i].name = texts[i];
            continue;
        }
        parts[i] = std::move(takenParts_[found->second.back()]);
        found->second.pop_back();
    }
    takenTexts_.clear();
    takenParts_.clear();
    return parts;
}

void MemoryResultList::add(const std::string& entry) {
    std::vector<EntryParts> parts = partsTakenBack({entry});
    const std::size_t pos = sorted_ ? sortedInsertPosition(entries_, entry) : entries_.size();
    const auto at = static_cast<std::ptrdiff_t>(pos);
    entries_.insert(entries_.begin() + at, entry);
    parts_.insert(parts_.begin() + at, std::move(parts.front()));
}

void MemoryResultList::addAll(std::vector<std::string>&& entries) {
    std::vector<EntryParts> parts = partsTakenBack(entries);
    addAll(std::move(entries), std::move(parts));
}

void MemoryResultList::addAll(std::vector<std::string>&& entries, std::vector<EntryParts>&& parts) {
    takenTexts_.clear();
    takenParts_.clear();
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
