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
// over views of names kept elsewhere, unchanged while it is used.
class NameTable {
  public:
    void build(const std::vector<std::string>& names) {
        std::size_t size = 16;
        while (size < 2 * names.size())
            size *= 2;
        slots_.assign(size, std::string_view());
        for (const std::string& name : names) {
            std::size_t at = slotOf(name);
            while (slots_[at].data() != nullptr && slots_[at] != name)
                at = (at + 1) & (slots_.size() - 1);
            slots_[at] = name;
        }
    }
    bool contains(std::string_view name) const {
        for (std::size_t at = slotOf(name);; at = (at + 1) & (slots_.size() - 1)) {
            if (slots_[at].data() == nullptr)
                return false;
            if (same(slots_[at], name))
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
    std::size_t slotOf(std::string_view name) const {
        constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15U;
        std::uint64_t hash = name.size() * kMix;
        if (name.size() < 8) {
            hash = (hash ^ smallWord(name.data(), name.size())) * kMix;
        } else {
            for (std::size_t i = 0; i + 8 < name.size(); i += 8)
                hash = (hash ^ word(name.data() + i)) * kMix;
            hash = (hash ^ lastWord(name)) * kMix;
        }
        // Every bit of the text reaches the low bits that choose the slot.
        hash ^= hash >> 33;
        hash *= 0xFF51AFD7ED558CCDU;
        hash ^= hash >> 33;
        return static_cast<std::size_t>(hash) & (slots_.size() - 1);
    }
    std::vector<std::string_view> slots_{std::string_view()};
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
