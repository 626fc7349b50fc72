#include "results/resultwriter.h"

#include "results/collation.h"
#include "results/convert.h"
#include "results/error.h"

#include <algorithm>

namespace qdc {

namespace {

// The name and chance parts of an entry, cut at its first "=".
struct EntryParts {
    std::string_view name;
    std::string_view chance;
};

EntryParts entryParts(std::string_view text, SortMode mode) {
    const std::size_t eq = text.find('=');
    const std::string_view before = text.substr(0, eq);
    const std::string_view after =
        eq == std::string_view::npos ? std::string_view() : text.substr(eq + 1);
    return mode == SortMode::NameFirst ? EntryParts{before, after} : EntryParts{after, before};
}

bool readsBack(std::string_view chance, char decimalSeparator) {
    if (isPlainFloatText(chance, decimalSeparator) &&
        (decimalSeparator == '.' || chance.find('.') == std::string_view::npos))
        return true;
    try {
        toFloat(withSeparator(std::string(chance), decimalSeparator), decimalSeparator);
        return true;
    } catch (const DropError&) {
        return false;
    }
}

// The chance of an entry as its text reads back (every "." of it taken as
// the decimal separator).
double readBack(std::string_view chance, char decimalSeparator) {
    if (decimalSeparator == '.')
        return toFloatView(chance, decimalSeparator);
    return toFloat(withSeparator(std::string(chance), decimalSeparator), decimalSeparator);
}

} // namespace

void ResultWriter::add(const std::string& name, const std::string& chanceText) {
    // As makeEntry() writes it, in one allocation.
    const bool nameFirst = mode_ == SortMode::NameFirst;
    std::string text;
    text.reserve(name.size() + 1 + chanceText.size());
    text.append(nameFirst ? name : chanceText).append(1, '=');
    text.append(nameFirst ? chanceText : name);
    place(std::move(text));
}

void ResultWriter::place(std::string text) {
    std::uint32_t index = 0;
    if (free_.empty()) {
        index = static_cast<std::uint32_t>(slots_.size());
        slots_.emplace_back();
    } else {
        index = free_.back();
        free_.pop_back();
    }
    Slot& slot = slots_[index];
    slot.text = std::move(text);
    const EntryParts parts = entryParts(slot.text, mode_);
    slot.name = parts.name;
    slot.order = nextOrder_++;
    slot.live = true;
    slot.unreadable = !readsBack(parts.chance, decimalSeparator_);
    unreadable_ += slot.unreadable ? 1 : 0;
    if (indexed_)
        this->index(index);
}

void ResultWriter::index(std::uint32_t index) {
    Slot& slot = slots_[index];
    const auto [head, added] = byName_.try_emplace(slot.name, index);
    slot.nextSameName = added ? kNoSlot : head->second;
    head->second = index;
}

void ResultWriter::kill(std::uint32_t index) {
    Slot& slot = slots_[index];
    slot.live = false;
    unreadable_ -= slot.unreadable ? 1 : 0;
    slot.text.clear();
    slot.name = {};
    free_.push_back(index);
}

namespace {

struct SortKey {
    std::string_view text;
    std::uint64_t order;
    std::uint32_t slot;
};

// Sorted as a list that places each entry after those equal to it.
void sortInListOrder(std::vector<SortKey>& keys) {
    std::sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
        const int order = collate(a.text, b.text);
        return order != 0 ? order < 0 : a.order < b.order;
    });
}

} // namespace

std::vector<std::uint32_t> ResultWriter::liveInListOrder() const {
    std::vector<SortKey> keys;
    for (std::uint32_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].live)
            keys.push_back({slots_[i].text, slots_[i].order, i});
    sortInListOrder(keys);
    std::vector<std::uint32_t> live;
    live.reserve(keys.size());
    for (const SortKey& key : keys)
        live.push_back(key.slot);
    return live;
}

double ResultWriter::merge(const std::string& name, double chance) {
    if (!armed_)
        return chance;
    if (rule_ == MergeRule::UntilNextMerge)
        armed_ = false;
    if (unreadable_ > 0)
        return mergeInListOrder(name, chance);
    if (!indexed_) {
        indexed_ = true;
        for (std::uint32_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].live)
                this->index(i);
    }
    const auto found = byName_.find(name);
    if (found == byName_.end())
        return chance;
    std::vector<SortKey> same;
    for (std::uint32_t i = found->second; i != kNoSlot; i = slots_[i].nextSameName)
        same.push_back({slots_[i].text, slots_[i].order, i});
    byName_.erase(found);
    sortInListOrder(same);
    for (const SortKey& key : same) {
        const double old = readBack(entryParts(key.text, mode_).chance, decimalSeparator_);
        chance = (old / 100 + chance / 100) * 100;
        kill(key.slot);
    }
    return chance;
}

// The list holds an entry whose chance does not read back: the merge walks
// the whole list in its order, as a merge pass does, and fails there.
double ResultWriter::mergeInListOrder(const std::string& name, double chance) {
    MemoryResultList ordered;
    for (const std::uint32_t index : liveInListOrder())
        ordered.add(slots_[index].text); // unsorted: keeps this order
    auto rebuild = [&] {
        slots_.clear();
        free_.clear();
        byName_.clear();
        indexed_ = false;
        unreadable_ = 0;
        for (const std::string& text : ordered.entries())
            place(text);
    };
    try {
        chance = mergePass(ordered, name, chance, mode_, decimalSeparator_);
    } catch (const DropError&) {
        rebuild();
        throw;
    }
    rebuild();
    return chance;
}

void ResultWriter::finish() {
    if (slots_.empty())
        return;
    std::vector<std::string> entries;
    for (const std::uint32_t index : liveInListOrder())
        entries.push_back(std::move(slots_[index].text));
    slots_.clear();
    free_.clear();
    byName_.clear();
    indexed_ = false;
    unreadable_ = 0;
    list_.addAll(std::move(entries));
}

} // namespace qdc
