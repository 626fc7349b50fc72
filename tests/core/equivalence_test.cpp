// The searches against their slow reference on random, faulty data: the same
// entries in the same order, the same message at the same point, the same
// labels and sorting; the number text and the line cutting the same too.

#include "data/filesource.h"
#include "results/convert.h"
#include "results/numtext.h"
#include "search/searches.h"
#include "tests/core/drop_search_support.h"
#include "tests/core/random_data.h"
#include "tests/core/reference_searches.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

using namespace qdc;

struct Answer {
    std::vector<std::string> entries;
    std::string error = "none";
    bool sorted = false;
    std::string labels;
    bool operator==(const Answer&) const = default;
};

template <class Search> Answer answer(const SearchEnv& env, Search search) {
    MemoryResultList list;
    list.add("old=1");
    Answer a;
    try {
        search(env, list);
    } catch (const DropError& e) {
        a.error = e.message();
    }
    a.entries = list.entries();
    a.sorted = list.sorted();
    a.labels = list.nameLabel() + "|" + list.dropLabel();
    return a;
}

std::ostream& operator<<(std::ostream& out, const Answer& a) {
    for (const auto& e : a.entries)
        out << e << "; ";
    return out << "error " << a.error;
}

DifficultySet someDifficulties(RandomData& r) {
    return {r.number(0, 1) == 1, r.number(0, 1) == 1, r.number(0, 3) > 0};
}

// Each search, new and reference, on the same arguments drawn from `r`.
template <class Check> void eachSearch(RandomData& r, Check check) {
    const std::string monster = r.monster(), item = r.item(), unique = r.unique();
    const std::string baseSet = r.baseSet(), setItem = r.setItem();
    const std::string mf = r.magicFind();
    const Difficulty d = kAllDifficulties[r.number(0, 2)];
    const DifficultySet ds = someDifficulties(r);
    check([&](auto& e, auto& l) { monsterSearch(e, l, monster, d); },
          [&](auto& e, auto& l) { ref::monsterSearch(e, l, monster, d); });
    check([&](auto& e, auto& l) { itemSearch(e, l, item, ds); },
          [&](auto& e, auto& l) { ref::itemSearch(e, l, item, ds); });
    check([&](auto& e, auto& l) { uniqueItemSearch(e, l, unique, ds, mf); },
          [&](auto& e, auto& l) { ref::uniqueItemSearch(e, l, unique, ds, mf); });
    check([&](auto& e, auto& l) { uniqueMonsterSearch(e, l, monster, d, mf); },
          [&](auto& e, auto& l) { ref::uniqueMonsterSearch(e, l, monster, d, mf); });
    check([&](auto& e, auto& l) { setItemSearch(e, l, baseSet, setItem, ds, mf); },
          [&](auto& e, auto& l) { ref::setItemSearch(e, l, baseSet, setItem, ds, mf); });
    check([&](auto& e, auto& l) { setMonsterSearch(e, l, monster, d, mf); },
          [&](auto& e, auto& l) { ref::setMonsterSearch(e, l, monster, d, mf); });
}

} // namespace

TEST(Equivalence, SearchesAnswerAsTheReference) {
    int runs = 0, errors = 0, entries = 0, longLists = 0;
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        RandomData random(seed, seed % 4 == 0);
        MemoryFileSource files = random.dataSet();
        const SearchEnv env{files, seed % 2 ? '.' : ',',
                            seed % 3 ? SortMode::NameFirst : SortMode::ChanceFirst};
        eachSearch(random, [&](auto search, auto reference) {
            const Answer got = answer(env, search);
            const Answer want = answer(env, reference);
            EXPECT_EQ(got, want) << "seed " << seed << " run " << runs;
            ++runs;
            errors += want.error != "none";
            entries += static_cast<int>(want.entries.size());
            longLists += want.entries.size() >= 4;
        });
    }
    // Both ends are reached often: lists with entries, and searches that fail.
    EXPECT_GT(errors, runs / 10);
    EXPECT_GT(longLists, runs / 50);
}

TEST(Equivalence, NumberTextAsTheExactExpansion) {
    std::mt19937_64 rng(7);
    std::vector<double> values = {0.5, 1e15, 999999999999999.5, 0.00015, 1e-5, 5e-324, 1e308};
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = rng();
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
        // Sixteen digits ending in 5: an exact tie at the fifteenth digit.
        values.push_back(
            static_cast<double>((rng() % 900000000000000ULL + 100000000000000ULL) * 10 + 5) /
            std::pow(10.0, static_cast<int>(rng() % 20)));
        values.push_back(static_cast<double>(rng() % 100000) / 1024.0);
        values.push_back(std::ldexp(static_cast<double>(rng() % (1ULL << 53)), -(int)(rng() % 80)));
    }
    for (const double v : values) {
        ASSERT_EQ(generalNumberText(v, ','), ref::generalNumberText(v, ',')) << v;
        ASSERT_EQ(chanceText(v, '.'), ref::chanceText(v, '.')) << v;
    }
}

TEST(Equivalence, NumbersReadAsByTheCLibrary) {
    std::mt19937 rng(5);
    const char alphabet[] = "0123456789012345678901234567890123456789.e-+ ";
    int read = 0;
    for (int i = 0; i < 100000; ++i) {
        std::string text;
        for (int n = static_cast<int>(rng() % 30) + 1; n > 0; --n)
            text += alphabet[rng() % (sizeof alphabet - 1)];
        EXPECT_EQ(dropErrorOf([&] { qdc::checkFloatView(text, '.'); }),
                  dropErrorOf([&] { qdc::toFloat(text, '.'); }))
            << text;
        char* end = nullptr;
        errno = 0;
        const double want = std::strtod(text.c_str(), &end);
        if (*end != '\0' || (errno == ERANGE && std::isinf(want)))
            continue; // not a number text that reads
        ++read;
        EXPECT_EQ(qdc::toFloat(text, '.'), want) << text;
        EXPECT_EQ(qdc::toFloatView(text, '.'), want) << text;
    }
    EXPECT_GT(read, 5000);
}

TEST(Equivalence, LinesAsTheyWereCut) {
    std::mt19937 rng(11);
    const char alphabet[] = {'a', 'b', '\n', '\r', '\x1a', ':', '\0'};
    for (int i = 0; i < 20000; ++i) {
        std::string bytes;
        for (int n = static_cast<int>(rng() % 12); n > 0; --n)
            bytes += alphabet[rng() % sizeof alphabet];
        LineReader reader = MemoryFileSource{{"f.txt", bytes}}.open("f.txt");
        std::vector<std::string> lines;
        for (std::string line; reader.next(line);)
            lines.push_back(line);
        ASSERT_EQ(lines, ref::splitLines(bytes)) << testing::PrintToString(bytes);
    }
}
