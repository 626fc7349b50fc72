#include "results/collation.h"

#include <array>

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

} // namespace

int collate(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int ra = kRank[static_cast<unsigned char>(a[i])];
        const int rb = kRank[static_cast<unsigned char>(b[i])];
        if (ra != rb)
            return ra < rb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace qdc
