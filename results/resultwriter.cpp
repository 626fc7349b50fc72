#include "results/resultwriter.h"

#include "results/collation.h"
#include "results/convert.h"
#include "results/error.h"
#include "results/odds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qdc {

namespace {

// The name and chance parts of an entry as the merge reads them back, cut at
// its first "=".
struct TextCut {
    std::string_view name;
    std::string_view chance;
};

TextCut entryParts(std::string_view text, SortMode mode) {
    const std::size_t eq = text.find('=');
    const std::string_view before = text.substr(0, eq);
    const std::string_view after =
        eq == std::string_view::npos ? std::string_view() : text.substr(eq + 1);
    return mode == SortMode::NameFirst ? TextCut{before, after} : TextCut{after, before};
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
    place(std::move(text), difficulty_);
}

void ResultWriter::setDifficulty(std::string_view difficulty, std::string_view suffix) {
    const DifficultyTag& now = difficulties_[difficulty_];
    if (now.name == difficulty && now.suffix == suffix)
        return;
    for (std::size_t i = 0; i < difficulties_.size(); ++i) {
        if (difficulties_[i].name == difficulty && difficulties_[i].suffix == suffix) {
            difficulty_ = static_cast<std::uint8_t>(i);
            return;
        }
    }
    // A search tags its entries with a handful of difficulties at most.
    if (difficulties_.size() == 0xFF)
        return;
    difficulties_.push_back({std::string(difficulty), std::string(suffix)});
    difficulty_ = static_cast<std::uint8_t>(difficulties_.size() - 1);
}

// The chance text never holds an "=": the entry is cut at its first "="
// when the chance comes first, at its last when the name does.
EntryParts ResultWriter::partsOf(const Slot& slot) const {
    const std::string_view text = slot.text;
    const bool nameFirst = mode_ == SortMode::NameFirst;
    const std::size_t cut = nameFirst ? text.rfind('=') : text.find('=');
    const std::string_view first = text.substr(0, cut);
    const std::string_view second =
        cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
    const DifficultyTag& tag = difficulties_[slot.difficulty];
    EntryParts parts;
    parts.name = nameFirst ? first : second;
    parts.chance = nameFirst ? second : first;
    parts.difficulty = tag.name;
    if (std::string_view(parts.name).ends_with(tag.suffix))
        parts.suffixSize = tag.suffix.size();
    if (readsBack(parts.chance, decimalSeparator_)) {
        parts.value = readBack(parts.chance, decimalSeparator_);
        parts.odds = oddsFor(*parts.value);
    }
    return parts;
}

void ResultWriter::place(std::string text, std::uint8_t difficulty) {
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
    const TextCut parts = entryParts(slot.text, mode_);
    slot.name = parts.name;
    slot.order = nextOrder_++;
    slot.live = true;
    slot.unreadable = !readsBack(parts.chance, decimalSeparator_);
    slot.difficulty = difficulty;
    unreadable_ += slot.unreadable ? 1 : 0;
    if (indexed_)
        this->index(index);
}

ResultWriter::Bucket* ResultWriter::findName(std::string_view name, std::size_t hash) {
    if (buckets_.empty())
        return nullptr;
    const std::size_t mask = buckets_.size() - 1;
    for (std::size_t pos = hash & mask; buckets_[pos].head != kNoSlot; pos = (pos + 1) & mask) {
        Bucket& bucket = buckets_[pos];
        if (bucket.head != kGone && bucket.hash == hash && slots_[bucket.head].name == name)
            return &bucket;
    }
    return nullptr;
}

// Makes room for more names: at most half the buckets are taken afterwards.
void ResultWriter::rebuildBuckets() {
    std::vector<Bucket> old = std::move(buckets_);
    std::size_t live = 0;
    for (const Bucket& bucket : old)
        live += bucket.head < kGone ? 1 : 0;
    std::size_t size = 64;
    while (size < 2 * (live + 1))
        size *= 2;
    buckets_.assign(size, Bucket{});
    bucketsUsed_ = live;
    for (const Bucket& bucket : old) {
        if (bucket.head >= kGone)
            continue;
        std::size_t pos = bucket.hash & (size - 1);
        while (buckets_[pos].head != kNoSlot)
            pos = (pos + 1) & (size - 1);
        buckets_[pos] = bucket;
    }
}

void ResultWriter::index(std::uint32_t index) {
    Slot& slot = slots_[index];
    const std::size_t hash = std::hash<std::string_view>{}(slot.name);
    if (Bucket* same = findName(slot.name, hash)) {
        slot.nextSameName = same->head;
        same->head = index;
        return;
    }
    if (4 * (bucketsUsed_ + 1) > 3 * buckets_.size())
        rebuildBuckets();
    const std::size_t mask = buckets_.size() - 1;
    std::size_t pos = hash & mask;
    while (buckets_[pos].head < kGone)
        pos = (pos + 1) & mask;
    bucketsUsed_ += buckets_[pos].head == kNoSlot ? 1 : 0;
    buckets_[pos] = {hash, index};
    slot.nextSameName = kNoSlot;
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

// What the sort compares of an entry, 32 bytes: its text is looked at only
// when the heads tie and one of the texts is longer than they hold.
struct SortKey {
    SortKey(std::string_view text, std::uint64_t order, std::uint32_t slot)
        : head(collationHead(text, 0)), nextHead(collationHead(text, 8)), order(order), slot(slot),
          size(static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), 0xffffffffU))) {}
    // The collation heads of the text's first sixteen bytes, which decide
    // most comparisons without collate().
    std::uint64_t head;
    std::uint64_t nextHead;
    std::uint64_t order;
    std::uint32_t slot;
    std::uint32_t size; // of the text, at most 2^32 - 1
};

// Sorted as a list that places each entry after those equal to it; `text`
// gives the text of a slot.
template <class Text> void sortInListOrder(std::vector<SortKey>& keys, Text text) {
    std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
        if (a.head != b.head)
            return a.head < b.head;
        if (a.nextHead != b.nextHead)
            return a.nextHead < b.nextHead;
        // Equal heads of texts of at most sixteen bytes hold all of both:
        // the texts collate equal.
        constexpr std::size_t kHeld = 2 * sizeof(std::uint64_t);
        const int order =
            a.size <= kHeld && b.size <= kHeld ? 0 : collate(text(a.slot), text(b.slot));
        return order != 0 ? order < 0 : a.order < b.order;
    });
}

// The chance of an entry as a number, for the highest-first order: as its
// text reads back; "INF" and "-INF" as infinities; any other text that does
// not read back as not a number, which comes last.
double chanceNumber(std::string_view chance, bool readable, char decimalSeparator) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    if (readable)
        return readBack(chance, decimalSeparator);
    if (chance == "INF" || chance == "-INF")
        return chance[0] == '-' ? -kInfinity : kInfinity;
    return std::numeric_limits<double>::quiet_NaN();
}

} // namespace

std::vector<std::uint32_t> ResultWriter::liveHighestFirst() const {
    struct Key {
        double chance;
        std::string_view name;
        std::uint64_t order;
        std::uint32_t slot;
    };
    std::vector<Key> keys;
    keys.reserve(slots_.size() - free_.size());
    for (std::uint32_t i = 0; i < slots_.size(); ++i) {
        const Slot& slot = slots_[i];
        if (slot.live)
            keys.push_back({chanceNumber(entryParts(slot.text, mode_).chance, !slot.unreadable,
                                         decimalSeparator_),
                            slot.name, slot.order, i});
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        const bool aNumber = !std::isnan(a.chance);
        if (aNumber != !std::isnan(b.chance))
            return aNumber;
        if (aNumber && a.chance != b.chance)
            return a.chance > b.chance;
        const int byName = collate(a.name, b.name);
        return byName != 0 ? byName < 0 : a.order < b.order;
    });
    std::vector<std::uint32_t> live;
    live.reserve(keys.size());
    for (const Key& key : keys)
        live.push_back(key.slot);
    return live;
}

std::vector<std::uint32_t> ResultWriter::liveInListOrder() const {
    std::vector<SortKey> keys;
    keys.reserve(slots_.size() - free_.size());
    for (std::uint32_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].live)
            keys.emplace_back(slots_[i].text, slots_[i].order, i);
    sortInListOrder(keys,
                    [&](std::uint32_t slot) -> std::string_view { return slots_[slot].text; });
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
    Bucket* found = findName(name, std::hash<std::string_view>{}(name));
    if (found == nullptr)
        return chance;
    const std::uint32_t head = found->head;
    found->head = kGone;
    const auto absorb = [&](std::uint32_t slot) {
        const double old = readBack(entryParts(slots_[slot].text, mode_).chance, decimalSeparator_);
        chance = (old / 100 + chance / 100) * 100;
        kill(slot);
    };
    if (slots_[head].nextSameName == kNoSlot) { // the usual case: one entry of the name
        absorb(head);
        return chance;
    }
    std::vector<SortKey> same;
    for (std::uint32_t i = head; i != kNoSlot; i = slots_[i].nextSameName)
        same.emplace_back(slots_[i].text, slots_[i].order, i);
    sortInListOrder(same,
                    [&](std::uint32_t slot) -> std::string_view { return slots_[slot].text; });
    for (const SortKey& key : same)
        absorb(key.slot);
    return chance;
}

void ResultWriter::forgetAll() {
    slots_.clear();
    free_.clear();
    buckets_.clear();
    bucketsUsed_ = 0;
    indexed_ = false;
    unreadable_ = 0;
}

// The list holds an entry whose chance does not read back: the merge walks
// the whole list in its order, as a merge pass does, and fails there.
double ResultWriter::mergeInListOrder(const std::string& name, double chance) {
    // Unsorted, the list keeps this order; each entry's difficulty rides
    // along in its parts.
    MemoryResultList ordered;
    std::vector<std::string> texts;
    std::vector<EntryParts> tags;
    for (const std::uint32_t index : liveInListOrder()) {
        texts.push_back(slots_[index].text);
        EntryParts tag;
        tag.difficulty.assign(1, static_cast<char>(slots_[index].difficulty));
        tags.push_back(std::move(tag));
    }
    ordered.addAll(std::move(texts), std::move(tags));
    auto rebuild = [&] {
        forgetAll();
        for (int i = 0; i < ordered.count(); ++i)
            place(ordered.at(i), static_cast<std::uint8_t>(ordered.parts(i).difficulty.front()));
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
    const std::vector<std::uint32_t> live =
        mode_ == SortMode::Highest ? liveHighestFirst() : liveInListOrder();
    std::vector<std::string> entries;
    std::vector<EntryParts> parts;
    entries.reserve(live.size());
    parts.reserve(live.size());
    for (const std::uint32_t index : live) {
        parts.push_back(partsOf(slots_[index]));
        entries.push_back(std::move(slots_[index].text));
    }
    forgetAll();
    list_.addAll(std::move(entries), std::move(parts));
}

} // namespace qdc
