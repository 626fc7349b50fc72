#include "data/levels.h"
#include "data/unilist.h"
#include "results/error.h"

#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

using qdc::Difficulty;
using qdc::MemoryFileSource;
using qdc::ReductionCut;

namespace {

std::string describe(const qdc::UniqueRecord& r) {
    return r.name + "|" + r.baseItem + "|" + std::to_string(r.level) + "|" +
           std::to_string(r.weight);
}

std::string parsed(const std::string& line) {
    try {
        return describe(qdc::parseUniqueLine(line));
    } catch (const qdc::DropError& e) {
        return e.what();
    }
}

} // namespace

TEST(UniqueLine, CutByPosition) {
    const struct {
        const char* line;
        const char* result;
    } cases[] = {
        {"Coil of Embers,Ring:27,5", "Coil of Embers|Ring|27|5"},
        {"Thornwick's Rod,Plain Rod:08", "Thornwick's Rod|Plain Rod|8|1"},
        {"Thornwick's Rod,Plain Rod:08,99", "Thornwick's Rod|Plain Rod|8|1"},
        {"Thornwick's Rod,Plain Rod:08xyz", "Thornwick's Rod|Plain Rod|8|1"},
        {"X,Plain Rod:8", "X|Plain Rod|8|1"},
        {"Eye: Left,Amulet:45,3", "Eye: Left|Amulet|45|3"},
        {"Quarn Locket,Amulet:15,12", "Quarn Locket|Amulet|15|12"},
        // The level is the two characters after the ":": "8," is no number.
        {"X,Ring:8,5", "'8,' is not a valid integer value"},
        {"X,Ring:27,", "'' is not a valid integer value"},
        {"X,Ring:27,5 ", "'5 ' is not a valid integer value"},
        // A ring without a weight: the weight text is the whole rest.
        {"X,Ring:27", "'Ring:27' is not a valid integer value"},
        {"X,Cap:", "'' is not a valid integer value"},
        // Only "Ring" and "Amulet" read a weight; names are compared exactly.
        {"X,ring:27,abc", "X|ring|27|1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parsed(c.line), c.result) << c.line;
}

TEST(UniqueLine, FindByNameTakesTheLastMatchingLine) {
    MemoryFileSource files{{"unilist.txt", "Coil of Embers,Ring:27,5\n"
                                           "Frost Band,Ring:50,3\n"
                                           "Coil of Embers,Ring:30,7\n"
                                           "Odd,Ring:27,9\n"
                                           "Odd,Cap:12\n"
                                           "Broken,Ring:2x,1\n"
                                           "Broken,Ring:20,1\n"
                                           "Coil Of Embers,Ring:xx,1\n"}};
    EXPECT_EQ(describe(*qdc::findUniqueByName(files, "Coil of Embers")),
              "Coil of Embers|Ring|30|7");
    // The last line decides everything: a cap keeps no weight of a ring line before it.
    EXPECT_EQ(describe(*qdc::findUniqueByName(files, "Odd")), "Odd|Cap|12|1");
    EXPECT_FALSE(qdc::findUniqueByName(files, "Frost").has_value());
    EXPECT_FALSE(qdc::findUniqueByName(files, "").has_value());
    // Every matching line is converted, the earlier ones too.
    EXPECT_DROP_ERROR(qdc::findUniqueByName(files, "Broken"), "'2x' is not a valid integer value");
}

TEST(UniqueLine, ReaderConvertsEveryLevelButWeightsOnlyWhenAsked) {
    MemoryFileSource files{{"unilist.txt", "Coil of Embers,Ring:27,5\n"
                                           "Bad Ring,Ring:30,zz\n"
                                           "Stormwrap,Belt:40\n"
                                           "Broken,Cap:4z\n"}};
    qdc::UniqueReader reader(files);
    qdc::UniqueReader::Unique u;
    ASSERT_TRUE(reader.next(u));
    EXPECT_EQ(u.name + "|" + u.baseItem + "|" + std::to_string(u.level), "Coil of Embers|Ring|27");
    EXPECT_EQ(u.weight(), 5);
    ASSERT_TRUE(reader.next(u));
    EXPECT_EQ(u.level, 30);
    EXPECT_THROW(u.weight(), qdc::DropError);
    ASSERT_TRUE(reader.next(u));
    EXPECT_EQ(u.baseItem, "Belt");
    EXPECT_EQ(u.weight(), 1);
    EXPECT_DROP_ERROR(reader.next(u), "'4z' is not a valid integer value");
}

TEST(LevelList, FirstMatchingLineWithTheUniqueCut) {
    MemoryFileSource files{{"Normal/levels.txt", "Tunnel Rat:3\n"
                                                 "Cave Lurker:38,983\n"
                                                 "Cave Lurker:14\n"
                                                 "Bog Wight:20,05\n"
                                                 "Quarry Golem:31,0200\n"
                                                 "Bad:1x\n"
                                                 "Bad:2\n"}};
    const struct {
        const char* monster;
        const char* result;
    } cases[] = {
        {"Tunnel Rat", "3|0"},
        {"Cave Lurker", "38|983"},
        {"Bog Wight", "20|5"},
        {"Quarry Golem", "31|20"},
        {"cave lurker", "none"},
        {"Nobody", "none"},
        {"Bad", "'1x' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        std::string result;
        try {
            const auto level =
                qdc::findFirstLevel(files, Difficulty::Normal, c.monster, ReductionCut::AfterComma);
            result = level ? std::to_string(level->level) + "|" + std::to_string(level->reduction)
                           : "none";
        } catch (const qdc::DropError& e) {
            result = e.what();
        }
        EXPECT_EQ(result, c.result) << c.monster;
    }
}
