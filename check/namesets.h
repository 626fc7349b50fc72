#pragma once

// The sets and maps of names the checker looks up on every line it reads.

#include <bitset>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace qdc {

// A filter of names with no false negative: whether a name may be among
// those added, at the cost of a few operations, so that a lookup in a map
// is made only for the names likely to be there.
class NameSigns {
  public:
    void clear() { signs_.reset(); }
    void add(std::string_view name) { signs_.set(signOf(name)); }
    bool mayHold(std::string_view name) const { return signs_.test(signOf(name)); }

  private:
    static constexpr std::size_t kSigns = 4096;
    // From the size, the first byte and the last two, where names alike
    // differ most.
    static std::size_t signOf(std::string_view name) {
        if (name.empty())
            return 0;
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(name[i]); };
        const std::uint32_t sign = static_cast<std::uint32_t>(name.size()) * 0x9E3779B1U ^
                                   byte(0) * 0x27D4EB2FU ^ byte(name.size() - 1) * 0x85EBCA77U ^
                                   byte(name.size() > 1 ? name.size() - 2 : 0) * 0xC2B2AE3DU;
        return sign >> 20; // the top 12 bits: below kSigns
    }
    std::bitset<kSigns> signs_;
};

// A fixed set of names looked up on every drop-table line: open addressing
// over views of names kept elsewhere, unchanged while it is used. Each slot
// also holds a name of up to eight bytes as one word, or the hash of a longer
// one, so that most lookups compare without reading the name.
class NameTable {
  public:
    void build(const std::vector<std::string>& names) {
        std::size_t size = 16;
        while (size < 2 * names.size())
            size *= 2;
        slots_.assign(size, Slot());
        for (const std::string& name : names) {
            const std::uint64_t hash = hashOf(name);
            std::size_t at = static_cast<std::size_t>(hash) & (size - 1);
            while (slots_[at].name.data() != nullptr && slots_[at].name != name)
                at = (at + 1) & (size - 1);
            slots_[at] = {name, keyOf(name, hash)};
        }
    }
    bool contains(std::string_view name) const {
        const std::uint64_t hash = hashOf(name);
        const std::uint64_t key = keyOf(name, hash);
        for (std::size_t at = static_cast<std::size_t>(hash) & (slots_.size() - 1);;
             at = (at + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[at];
            if (slot.name.data() == nullptr)
                return false;
            if (slot.key == key && slot.name.size() == name.size() &&
                (name.size() <= 8 || same(slot.name, name)))
                return true;
        }
    }

  private:
    static std::uint64_t word(const char* at) {
        std::uint64_t word = 0;
        std::memcpy(&word, at, sizeof word);
        return word;
    }
    // A text of fewer than eight bytes as one word, from loads that overlap
    // and together cover it: no loop, no call.
    static std::uint64_t smallWord(const char* at, std::size_t size) {
        if (size >= 4) {
            std::uint32_t low = 0;
            std::uint32_t high = 0;
            std::memcpy(&low, at, sizeof low);
            std::memcpy(&high, at + size - 4, sizeof high);
            return std::uint64_t{high} << 32 | low;
        }
        const auto byte = [&](std::size_t i) {
            return std::uint64_t{static_cast<unsigned char>(at[i])};
        };
        return size == 0 ? 0 : byte(0) | byte(size / 2) << 8 | byte(size - 1) << 16;
    }
    // The last word of a text of eight bytes or more: its last eight bytes.
    static std::uint64_t lastWord(std::string_view text) {
        return word(text.data() + text.size() - 8);
    }
    static bool same(std::string_view a, std::string_view b) {
        if (a.size() != b.size())
            return false;
        if (a.size() < 8)
            return smallWord(a.data(), a.size()) == smallWord(b.data(), b.size());
        for (std::size_t i = 0; i + 8 < a.size(); i += 8)
            if (word(a.data() + i) != word(b.data() + i))
                return false;
        return lastWord(a) == lastWord(b);
    }

  public:
    // A hash of the text whose low bits each depend on every bit of it.
    static std::uint64_t hashOf(std::string_view name) {
        constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15U;
        std::uint64_t hash = name.size() * kMix;
        if (name.size() < 8) {
            hash = (hash ^ smallWord(name.data(), name.size())) * kMix;
        } else {
            for (std::size_t i = 0; i + 8 < name.size(); i += 8)
                hash = (hash ^ word(name.data() + i)) * kMix;
            hash = (hash ^ lastWord(name)) * kMix;
        }
        hash ^= hash >> 33;
        hash *= 0xFF51AFD7ED558CCDU;
        hash ^= hash >> 33;
        return hash;
    }

  private:
    struct Slot {
        std::string_view name; // no data: empty
        std::uint64_t key = 0; // see keyOf()
    };
    // What tells names of one size apart: up to eight bytes the text itself,
    // beyond that its hash.
    static std::uint64_t keyOf(std::string_view name, std::uint64_t hash) {
        if (name.size() < 8)
            return smallWord(name.data(), name.size());
        return name.size() == 8 ? word(name.data()) : hash;
    }
    std::vector<Slot> slots_{Slot()};
};

// A set of texts that only grows: each kept once, one after another in one
// buffer, and found by open addressing over their hashes. Adding one
// allocates only when a buffer grows.
class TextPool {
  public:
    void reserve(std::size_t count) {
        if (2 * count > slots_.size())
            rehash(2 * count);
    }
    // Whether the text was not in the set yet.
    bool insert(std::string_view text) {
        if (2 * (count_ + 1) > slots_.size())
            rehash(2 * (count_ + 1));
        const std::uint64_t hash = NameTable::hashOf(text);
        Slot& slot = slots_[find(text, hash)];
        if (slot.size != kEmpty)
            return false;
        slot = {hash, texts_.size(), text.size()};
        texts_.append(text);
        ++count_;
        return true;
    }
    bool contains(std::string_view text) const {
        return !slots_.empty() && slots_[find(text, NameTable::hashOf(text))].size != kEmpty;
    }

  private:
    static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);
    struct Slot {
        std::uint64_t hash = 0;
        std::size_t at = 0; // in texts_
        std::size_t size = kEmpty;
    };
    // The slot that holds `text`, or the empty one where it would go.
    std::size_t find(std::string_view text, std::uint64_t hash) const {
        for (std::size_t at = static_cast<std::size_t>(hash) & (slots_.size() - 1);;
             at = (at + 1) & (slots_.size() - 1)) {
            const Slot& slot = slots_[at];
            if (slot.size == kEmpty ||
                (slot.hash == hash && std::string_view(texts_).substr(slot.at, slot.size) == text))
                return at;
        }
    }
    void rehash(std::size_t least) {
        std::size_t size = 16;
        while (size < least)
            size *= 2;
        std::vector<Slot> old(size);
        old.swap(slots_);
        for (const Slot& slot : old)
            if (slot.size != kEmpty)
                for (std::size_t at = static_cast<std::size_t>(slot.hash) & (size - 1);;
                     at = (at + 1) & (size - 1))
                    if (slots_[at].size == kEmpty) {
                        slots_[at] = slot;
                        break;
                    }
    }

    std::vector<Slot> slots_;
    std::string texts_;
    std::size_t count_ = 0;
};

// Hashes and compares strings with views, so that a lookup copies nothing.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};
template <class Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;
using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;

} // namespace qdc
