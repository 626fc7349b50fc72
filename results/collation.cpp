#include "results/collation.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace qdc {

namespace {

constexpr std::array<int, 256> makeRanks() {
    std::array<int, 256> rank{};
    for (int c = 0; c < 256; ++c) {
        int group = 0;
        int key = c;
        if (c < 32 || c == 127)
            group = 0;
        else if (c == ' ')
            group = 1;
        else if (c >= '0' && c <= '9')
            group = 3;
        else if (c >= 'A' && c <= 'Z') {
            group = 4;
            key = c - 'A' + 'a';
        } else if (c >= 'a' && c <= 'z')
            group = 4;
        else if (c < 128)
            group = 2;
        else
            group = 5;
        rank[c] = group * 256 + key;
    }
    return rank;
}

constexpr std::array<int, 256> kRank = makeRanks();

// Each byte's rank as its place among the distinct ranks, counted from 1.
constexpr std::array<std::uint8_t, 256> makePlaces() {
    constexpr int kRanks = 6 * 256;
    std::array<bool, kRanks> used{};
    for (const int rank : kRank)
        used[rank] = true;
    std::array<std::uint8_t, kRanks> placeOfRank{};
    int place = 0;
    for (int rank = 0; rank < kRanks; ++rank) {
        place += used[rank] ? 1 : 0;
        placeOfRank[rank] = static_cast<std::uint8_t>(place);
    }
    std::array<std::uint8_t, 256> places{};
    for (int c = 0; c < 256; ++c)
        places[c] = placeOfRank[kRank[c]];
    return places;
}

constexpr std::array<std::uint8_t, 256> kPlace = makePlaces();

} // namespace

namespace {

// The length of the prefix that `a` and `b` share from `from` on, up to `n`
// bytes in all, compared a word at a time: equal bytes rank alike, so only
// where they differ do the ranks need looking at.
std::size_t sharedPrefix(const char* a, const char* b, std::size_t from, std::size_t n) {
    std::size_t i = from;
    for (; i + sizeof(std::uint64_t) <= n; i += sizeof(std::uint64_t)) {
        std::uint64_t wa = 0;
        std::uint64_t wb = 0;
        std::memcpy(&wa, a + i, sizeof wa);
        std::memcpy(&wb, b + i, sizeof wb);
        if (wa != wb)
            break;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

} // namespace

int collate(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = sharedPrefix(a.data(), b.data(), 0, n); i < n;
         i = sharedPrefix(a.data(), b.data(), i + 1, n)) {
        const int ra = kRank[static_cast<unsigned char>(a[i])];
        const int rb = kRank[static_cast<unsigned char>(b[i])];
        if (ra != rb)
            return ra < rb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::uint64_t collationHead(std::string_view text, std::size_t from) {
    std::uint64_t head = 0;
    for (std::size_t i = from; i < from + 8; ++i) {
        const std::uint8_t place =
            i < text.size() ? kPlace[static_cast<unsigned char>(text[i])] : 0;
        head = (head << 8) | place;
    }
    return head;
}

} // namespace qdc
