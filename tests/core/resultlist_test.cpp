#include "results/collation.h"
#include "results/entry.h"
#include "results/error.h"
#include "results/numtext.h"
#include "results/resultlist.h"
#include "results/resultwriter.h"

#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using qdc::MemoryResultList;
using qdc::SortMode;

namespace {

std::vector<std::string> sortedList(std::initializer_list<std::string> entries) {
    MemoryResultList list;
    list.setSorted(true);
    for (const auto& e : entries)
        list.add(e);
    return list.entries();
}

} // namespace

TEST(Collation, RanksOfByteGroups) {
    // Each text sorts strictly before the next one.
    const std::vector<std::string> ascending = {
        "",  "\x01", "\x1f", "\x7f", " ", "!", ".", "/", ":", "=",    "@",    "[",   "_",
        "`", "{",    "~",    "0",    "9", "a", "B", "c", "z", "\x80", "\xe9", "\xff"};
    for (std::size_t i = 0; i + 1 < ascending.size(); ++i) {
        EXPECT_LT(qdc::collate(ascending[i], ascending[i + 1]), 0) << i;
        EXPECT_GT(qdc::collate(ascending[i + 1], ascending[i]), 0) << i;
    }
}

TEST(Collation, CaseIsIgnoredAndPrefixesComeFirst) {
    EXPECT_EQ(qdc::collate("Cave Lurker", "cave lurker"), 0);
    EXPECT_LT(qdc::collate("Ax", "Ax y"), 0);
    EXPECT_LT(qdc::collate("Ax y=3", "Ax=5"), 0); // a blank before "="
    EXPECT_LT(qdc::collate("100=A", "25=A"), 0);  // textual, not numeric
}

TEST(ResultList, SortedPlacementAndUnsortedAppend) {
    EXPECT_EQ(sortedList({"5=Gold", "25=Cap", "100=Ring"}),
              (std::vector<std::string>{"100=Ring", "25=Cap", "5=Gold"}));
    EXPECT_EQ(sortedList({"Ax=5", "Ax y=3"}), (std::vector<std::string>{"Ax y=3", "Ax=5"}));
    // Entries that compare equal keep the order in which they came.
    EXPECT_EQ(sortedList({"gold=1", "Gold=1", "GOLD=1"}),
              (std::vector<std::string>{"gold=1", "Gold=1", "GOLD=1"}));

    MemoryResultList list;
    list.add("b");
    list.add("a");
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"b", "a"}));
    list.removeAt(5); // out of range: nothing happens
    EXPECT_EQ(list.count(), 2);
}

TEST(Entries, MakeAndReadBothSortModes) {
    EXPECT_EQ(qdc::makeEntry("Short Blade", "65.7", SortMode::NameFirst), "Short Blade=65.7");
    EXPECT_EQ(qdc::makeEntry("Short Blade", "65.7", SortMode::ChanceFirst), "65.7=Short Blade");

    const auto a = qdc::readEntry("Short Blade=65.7", SortMode::NameFirst, '.');
    EXPECT_EQ(a.name, "Short Blade");
    EXPECT_EQ(a.chance, 65.7);
    const auto b = qdc::readEntry("65,7=Short Blade", SortMode::ChanceFirst, ',');
    EXPECT_EQ(b.name, "Short Blade");
    EXPECT_EQ(b.chance, 65.7);
    // The small-number form always has "." and reads back with ",".
    EXPECT_EQ(qdc::readEntry("0.000015=Gold", SortMode::ChanceFirst, ',').chance, 0.000015);
    // Chance first: a name holding "=" stays whole.
    EXPECT_EQ(qdc::readEntry("5=A=B", SortMode::ChanceFirst, '.').name, "A=B");
}

TEST(Entries, NameHoldingEqualsFailsToReadBackNameFirst) {
    EXPECT_DROP_ERROR(qdc::readEntry("A=B=5", SortMode::NameFirst, '.'),
                      "'B=5' is not a valid floating point value");
}

TEST(Entries, StartSearchSetsLabelsForTheSortMode) {
    MemoryResultList list;
    list.add("old");
    qdc::startSearch(list, SortMode::ChanceFirst);
    EXPECT_TRUE(list.sorted());
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.nameLabel(), "% Drop Chance");
    EXPECT_EQ(list.dropLabel(), "Name");
    qdc::startSearch(list, SortMode::NameFirst);
    EXPECT_EQ(list.nameLabel(), "Name");
    EXPECT_EQ(list.dropLabel(), "% Drop Chance");
    qdc::startSearch(list, SortMode::Highest);
    EXPECT_FALSE(list.sorted());
    EXPECT_EQ(list.nameLabel(), "% Drop Chance");
}

// Highest first: chance-first texts, merged as chance first merges them, in
// the order of their chance as a number, equal chances in name order.
TEST(ResultWriter, HighestChanceFirst) {
    struct Step {
        bool arm;
        const char* name;
        double chance; // added as its text with "." (merged first when armed)
    };
    struct Case {
        char sep;
        std::vector<Step> steps;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {'.',
         {{false, "b", 9}, {false, "a", 10}, {false, "B", 9}, {false, "c", 0.5}, {false, "A", 9}},
         {"10=a", "9=A", "9=b", "9=B", "0.5=c"}},
        // The merged sum of "a" rises above "z".
        {'.', {{false, "a", 3}, {false, "z", 5}, {true, "a", 4}}, {"7=a", "5=z"}},
        // Read back with the locale's separator: 10,5 is more than 9,75.
        {',', {{false, "x", 9.75}, {false, "y", 10.5}}, {"10,5=y", "9,75=x"}},
        // Texts that do not read back: INF first, -INF after the numbers, the
        // rest last in name order.
        {'.',
         {{false, "n", NAN},
          {false, "m", -INFINITY},
          {false, "i", INFINITY},
          {false, "k", 1},
          {false, "l", NAN}},
         {"INF=i", "1=k", "-INF=m", "NAN=l", "NAN=n"}},
    };
    for (const Case& c : cases) {
        MemoryResultList list;
        qdc::startSearch(list, SortMode::Highest);
        qdc::ResultWriter writer(list, SortMode::Highest, c.sep, qdc::MergeRule::UntilNextMerge);
        writer.collect([&] {
            for (const Step& step : c.steps) {
                if (step.arm)
                    writer.armMerge();
                const double chance = writer.merge(step.name, step.chance);
                writer.add(step.name, qdc::generalNumberText(chance, c.sep));
            }
        });
        EXPECT_EQ(list.entries(), c.expected) << c.expected.front();
    }
}

TEST(MergePass, RemovesEveryEntryOfTheNameAndSumsTheChances) {
    MemoryResultList list;
    list.setSorted(true);
    for (const char* e : {"Gold=10", "Short Blade=65.7", "Short Blade=2", "Cap=1"})
        list.add(e);
    const double sum = qdc::mergePass(list, "Short Blade", 5, SortMode::NameFirst, '.');
    EXPECT_EQ(sum, 72.7);
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"Cap=1", "Gold=10"}));
    // Names compare exactly: other case or blanks do not merge.
    EXPECT_EQ(qdc::mergePass(list, "gold", 1, SortMode::NameFirst, '.'), 1);
    EXPECT_EQ(qdc::mergePass(list, "Gold ", 1, SortMode::NameFirst, '.'), 1);
    EXPECT_EQ(list.count(), 2);
}

TEST(MergePass, CommaLocaleReadsBothChanceForms) {
    MemoryResultList list;
    list.setSorted(true);
    list.add("65,7=St. Hugo");
    list.add("0.000015=St. Hugo");
    list.add("0.00005=Gold");
    list.add("5E-10=Cap");
    const double sum = qdc::mergePass(list, "St. Hugo", 1, SortMode::ChanceFirst, ',');
    EXPECT_DOUBLE_EQ(sum, 66.700015);
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"0.00005=Gold", "5E-10=Cap"}));
}

TEST(MergePass, EveryEntryIsReadEvenWhenItsNameDiffers) {
    const struct {
        const char* entry;
        SortMode mode;
        char sep;
        const char* error;
    } cases[] = {
        {"A=B=5", SortMode::NameFirst, '.', "'B=5' is not a valid floating point value"},
        {"Gold=", SortMode::NameFirst, '.', "'' is not a valid floating point value"},
        {"x=Gold", SortMode::ChanceFirst, '.', "'x' is not a valid floating point value"},
        {"1.5.1=Gold", SortMode::ChanceFirst, ',', "'1,5,1' is not a valid floating point value"},
        {"Gold=1E999", SortMode::NameFirst, '.', "'1E999' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        MemoryResultList list;
        list.add(c.entry);
        EXPECT_DROP_ERROR(qdc::mergePass(list, "Other", 1, c.mode, c.sep), c.error);
    }
}

TEST(SeparatorCommand, WidensEveryEntryAndKeepsTheOrder) {
    const std::string wide(10, ' ');
    MemoryResultList list;
    list.setSorted(true);
    for (const char* e : {"Ax=5", "Ax y=3", "Cave Lurker=27.1", "a=b=c"})
        list.add(e);
    qdc::widenSeparators(list);
    const std::vector<std::string> expected = {"a" + wide + "b" + wide + "c", "Ax" + wide + "5",
                                               "Ax y" + wide + "3", "Cave Lurker" + wide + "27.1"};
    EXPECT_EQ(list.entries(), expected);
    qdc::widenSeparators(list); // a second press changes nothing
    EXPECT_EQ(list.entries(), expected);

    MemoryResultList chanceFirst;
    chanceFirst.setSorted(true);
    chanceFirst.add("27.1=Cave Lurker");
    qdc::widenSeparators(chanceFirst);
    EXPECT_EQ(chanceFirst.entries(), (std::vector<std::string>{"27.1" + wide + "Cave Lurker"}));

    MemoryResultList highest; // not sorted: the order stays
    for (const char* e : {"9=b", "5=a", "1=c"})
        highest.add(e);
    qdc::widenSeparators(highest);
    EXPECT_EQ(highest.entries(),
              (std::vector<std::string>{"9" + wide + "b", "5" + wide + "a", "1" + wide + "c"}));

    MemoryResultList empty;
    qdc::widenSeparators(empty);
    EXPECT_EQ(empty.count(), 0);
}

namespace {

// The command as a walk over the list: each entry read at its index, taken
// out, and added again rewritten (at the front when the list is not sorted).
std::vector<std::string> walkedWide(const std::vector<std::string>& entries, bool sorted) {
    MemoryResultList list;
    list.setSorted(sorted);
    for (const std::string& e : entries)
        list.add(e);
    for (int i = 0; i < list.count(); ++i) {
        const int at = sorted ? i : 0;
        std::string entry = list.at(at);
        for (std::size_t eq = entry.find('='); eq != std::string::npos; eq = entry.find('=', eq))
            entry.replace(eq, 1, qdc::kWideSeparator);
        list.removeAt(at);
        list.add(entry);
    }
    return list.entries();
}

std::vector<std::string> widenedOnce(const std::vector<std::string>& entries, bool sorted) {
    MemoryResultList list;
    list.setSorted(sorted);
    for (const std::string& e : entries)
        list.add(e);
    qdc::widenSeparators(list);
    return list.entries();
}

} // namespace

// Entries that sort elsewhere once widened, texts equal but for case (the
// walk moves each after its equals), entries widened already, and a list
// that is not sorted: one sort leaves the list as the walk does.
TEST(SeparatorCommand, SameAsTheWalk) {
    const std::string wide(10, ' ');
    const struct {
        std::vector<std::string> entries;
        bool sorted;
    } rows[] = {
        {{"Ax=5", "Ax y=3", "Ax-=1", "Ax!=2", "Ax  =4"}, true},
        {{"a=1", "A=1", "a=1", "A=1"}, true},
        {{"a" + wide + "1", "A" + wide + "1", "a=1", "A=1", "a" + wide + "1"}, true},
        {{"ab", "AB", "aB", "Ab", "ab", "b=", "B="}, true},
        {{"x=1", "X", "x", "X=1", "x" + wide + "1"}, true},
        {{"9=b", "5=a", "A", "a", "1=c=d"}, false},
        {{}, true},
    };
    for (const auto& row : rows) {
        const std::vector<std::string> walked = walkedWide(row.entries, row.sorted);
        EXPECT_EQ(widenedOnce(row.entries, row.sorted), walked)
            << testing::PrintToString(row.entries);
        // A second press walks entries without "=", equal ones among them.
        EXPECT_EQ(widenedOnce(walked, row.sorted), walkedWide(walked, row.sorted));
    }
    // Short random texts of few letters, many of them equal but for case.
    std::mt19937 rng(11);
    const char letters[] = {'a', 'A', 'b', '=', ' ', '-'};
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> entries(rng() % 12);
        for (std::string& e : entries)
            for (std::size_t n = rng() % 4; n > 0; --n)
                e += letters[rng() % std::size(letters)];
        const bool sorted = rng() % 4 != 0;
        ASSERT_EQ(widenedOnce(entries, sorted), walkedWide(entries, sorted))
            << testing::PrintToString(entries);
    }
}

// Many names, merged and added again in a random order, past every growth of
// the writer's name index: the list comes out as adding and merging entry by
// entry leaves it, and every merge sums the same.
TEST(ResultWriter, SameAsMergingEntryByEntry) {
    for (const SortMode mode : {SortMode::NameFirst, SortMode::ChanceFirst}) {
        std::mt19937 rng(7);
        MemoryResultList expected;
        expected.setSorted(true);
        MemoryResultList written;
        written.setSorted(true);
        qdc::ResultWriter writer(written, mode, '.', qdc::MergeRule::ToTheEnd);
        writer.collect([&] {
            for (int step = 0; step < 6000; ++step) {
                const std::string name = "Monster " + std::to_string(rng() % 700);
                double chance = static_cast<double>(rng() % 50) + 0.5;
                if (step == 3000)
                    writer.armMerge();
                if (step >= 3000) {
                    const double want = qdc::mergePass(expected, name, chance, mode, '.');
                    chance = writer.merge(name, chance);
                    ASSERT_EQ(chance, want) << step;
                }
                const std::string text = std::to_string(static_cast<int>(chance));
                expected.add(qdc::makeEntry(name, text, mode));
                writer.add(name, text);
            }
        });
        EXPECT_EQ(written.entries(), expected.entries());
    }
}

TEST(Collation, LongTextsAndSortHeadsAgree) {
    const std::string base = "Monster 12 of the deep (Nightmare)=0.25";
    std::vector<std::string> texts = {"", "\x01", " ", "0", "a", "B", "\xe9", "Monster\xff"};
    for (std::size_t i = 0; i < base.size(); ++i) {
        texts.push_back(base.substr(0, i));
        std::string other = base;
        other[i] = static_cast<char>(base[i] ^ 0x20); // a case flip for letters
        texts.push_back(other);
        ++other[i];
        texts.push_back(other);
    }
    // Heads taken all along a text order texts as collate() does.
    const auto heads = [](const std::string& t) {
        std::vector<std::uint64_t> h;
        for (std::size_t from = 0; from < 48; from += 8)
            h.push_back(qdc::collationHead(t, from));
        return h;
    };
    for (const std::string& a : texts) {
        for (const std::string& b : texts) {
            const int order = qdc::collate(a, b);
            EXPECT_EQ(order < 0, heads(a) < heads(b)) << a << " | " << b;
            EXPECT_EQ(order == 0, heads(a) == heads(b)) << a << " | " << b;
        }
    }
}
