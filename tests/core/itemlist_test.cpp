#include "data/itemlist.h"
#include "results/error.h"

#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

using qdc::ItemKey;
using qdc::lookupQualityFlag;
using qdc::MemoryFileSource;

namespace {

std::vector<std::string> itemNames(const std::string& bytes) {
    MemoryFileSource files{{"itemlist.txt", bytes}};
    std::vector<std::string> names;
    qdc::readItemNames(files, names);
    return names;
}

} // namespace

TEST(ItemNames, EveryLineGivesOneName) {
    const struct {
        const char* bytes;
        std::vector<std::string> names;
    } cases[] = {
        {"Short Blade,0\r\nRing,1\n", {"Short Blade", "Ring"}},
        // Duplicates stay, in file order.
        {"Ring,0\nCap,0\nRing,1\n", {"Ring", "Cap", "Ring"}},
        // A blank line inside and a blank line at the end each give an empty name.
        {"Ring,1\n\nCap,0\n\n", {"Ring", "", "Cap", ""}},
        // A line without "," gives the empty name; a name is cut at the first ",".
        {"Gold\nLong,Blade,0\n Cap ,0", {"", "Long", " Cap "}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(itemNames(c.bytes), c.names) << c.bytes;
}

TEST(ItemNames, MissingFile) {
    MemoryFileSource files;
    std::vector<std::string> names;
    EXPECT_DROP_ERROR(qdc::readItemNames(files, names), "File not found");
}

TEST(QualityFlag, BothKeyRules) {
    MemoryFileSource files{{"itemlist.txt", "Ring,0\n"
                                            "Cap,1\n"
                                            "Ring,1\n"  // the last matching line decides
                                            "Belt,0 \n" // a trailing blank is no flag
                                            "Boots,0\n"
                                            "Boots,x\n" // no flag: the earlier one stays
                                            "Long,Blade,1\n"
                                            "Heavy Belt,1,\n"
                                            "\n"}};
    const struct {
        const char* item;
        char beforeComma;
        char withoutLastTwo;
    } cases[] = {
        {"Ring", '1', '1'},        {"Cap", '1', '1'},          {"Belt", '\0', '\0'},
        {"Belt,", '\0', '\0'},     {"Boots", '0', '0'},        {"Long", '1', '\0'},
        {"Long,Blade", '\0', '1'}, {"Heavy Belt", '\0', '\0'}, {"Gold", '\0', '\0'},
        {"", '\0', '\0'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lookupQualityFlag(files, c.item, ItemKey::BeforeComma), c.beforeComma) << c.item;
        EXPECT_EQ(lookupQualityFlag(files, c.item, ItemKey::WithoutLastTwo), c.withoutLastTwo)
            << c.item;
    }
}

TEST(QualityFlag, ShortLinesHaveAnEmptyKeyWithoutTheirLastTwo) {
    // "1" and "x1" both lose their last two characters and key the empty name.
    MemoryFileSource files{{"itemlist.txt", "1\nCap,0\n"}};
    EXPECT_EQ(lookupQualityFlag(files, "", ItemKey::WithoutLastTwo), '1');
    EXPECT_EQ(lookupQualityFlag(files, "", ItemKey::BeforeComma), '1');
    MemoryFileSource two{{"itemlist.txt", "x0\n"}};
    EXPECT_EQ(lookupQualityFlag(two, "", ItemKey::WithoutLastTwo), '0');
}

namespace {

struct NotingSink final : qdc::ErrorSink {
    std::string noted;
    void error(const qdc::DropError& e) override { noted += e.message() + "; "; }
};

} // namespace

// The file's error reaches the sink at every lookup; a sink that returns gets
// no flag from a file that cannot be opened, and a search's sink is raised.
TEST(QualityFlags, TellTheFileErrorToTheSink) {
    MemoryFileSource none;
    qdc::QualityFlags flags(none, ItemKey::BeforeComma);
    NotingSink sink;
    EXPECT_EQ(flags.lookup("Ring", sink), '\0');
    EXPECT_EQ(flags.lookup("Cap", sink), '\0');
    EXPECT_EQ(sink.noted, "File not found; File not found; ");
    EXPECT_DROP_ERROR(flags.lookup("Ring"), "File not found");
}
