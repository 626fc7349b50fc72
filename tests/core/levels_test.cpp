#include "data/levels.h"
#include "results/error.h"

#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

using qdc::Difficulty;
using qdc::LevelRecord;
using qdc::ReductionCut;

namespace {

// A lookup's outcome as text: "level/reduction", "none", or the error.
template <class Lookup> std::string outcome(Lookup lookup) {
    try {
        const std::optional<LevelRecord> record = lookup();
        return record ? std::to_string(record->level) + "/" + std::to_string(record->reduction)
                      : "none";
    } catch (const qdc::DropError& e) {
        return e.what();
    }
}

// A level list whose reading fails after its lines.
struct FailingLevels : qdc::FileSource {
    std::vector<std::string> lines;
    std::shared_ptr<const qdc::FileLines> load(const std::string&) override {
        return qdc::makeFileLines(joinLines(lines), qdc::DropError("I/O error 5"));
    }
};

} // namespace

TEST(LevelLine, BothReductionCuts) {
    const struct {
        const char* line;
        const char* afterComma;
        const char* lastThree;
    } cases[] = {
        {"Cave Lurker:14", "14/0", "14/0"},
        {"Cave Lurker:38,983", "38/983", "38/983"},
        {"Cave Lurker:40,0983", "40/98", "40/983"},
        {"Cave Lurker:40,05", "40/5", "',05' is not a valid integer value"},
        {"Cave Lurker:x", "'x' is not a valid integer value", "'x' is not a valid integer value"},
        {"Cave Lurker:38,", "'' is not a valid integer value",
         "'38,' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outcome([&] {
                      return std::optional(qdc::parseLevelLine(c.line, ReductionCut::AfterComma));
                  }),
                  c.afterComma)
            << c.line;
        EXPECT_EQ(outcome([&] {
                      return std::optional(qdc::parseLevelLine(c.line, ReductionCut::LastThree));
                  }),
                  c.lastThree)
            << c.line;
    }
}

// The index of a search gives what a fresh read of the file gives.
TEST(LevelIndex, SameAsReadingTheFile) {
    qdc::MemoryFileSource files{
        {"Normal/levels.txt",
         "Cave Lurker:12\nBog Wight:x\nCave Lurker:30,050\n:7\nBog Wight:20\n"}};
    qdc::LevelIndex index(files);
    for (const char* monster : {"Cave Lurker", "Bog Wight", "", "Nobody"}) {
        for (const auto cut : {ReductionCut::AfterComma, ReductionCut::LastThree}) {
            EXPECT_EQ(outcome([&] { return index.first(Difficulty::Normal, monster, cut); }),
                      outcome([&] {
                          return qdc::findFirstLevel(files, Difficulty::Normal, monster, cut);
                      }))
                << monster;
            EXPECT_EQ(outcome([&] { return index.last(Difficulty::Normal, monster, cut); }),
                      outcome([&] {
                          return qdc::findLastLevel(files, Difficulty::Normal, monster, cut);
                      }))
                << monster;
        }
    }
    EXPECT_EQ(outcome([&] {
                  return index.last(Difficulty::Normal, "Cave Lurker", ReductionCut::AfterComma);
              }),
              "30/50");
    EXPECT_EQ(outcome([&] {
                  return index.first(Difficulty::Normal, "Bog Wight", ReductionCut::AfterComma);
              }),
              "'x' is not a valid integer value");
    EXPECT_EQ(outcome([&] {
                  return index.first(Difficulty::Hell, "Bog Wight", ReductionCut::AfterComma);
              }),
              "Invalid filename");
}

TEST(LevelIndex, ReadErrorAfterTheLines) {
    FailingLevels files;
    files.lines = {"Cave Lurker:12", "Bog Wight:x"};
    qdc::LevelIndex index(files);
    const auto cut = ReductionCut::AfterComma;
    // The first line of a name is found before the failing read.
    EXPECT_EQ(outcome([&] { return index.first(Difficulty::Normal, "Cave Lurker", cut); }), "12/0");
    EXPECT_EQ(outcome([&] { return index.first(Difficulty::Normal, "Nobody", cut); }),
              "I/O error 5");
    // The last line needs the whole file; a bad matching line fails first.
    EXPECT_EQ(outcome([&] { return index.last(Difficulty::Normal, "Cave Lurker", cut); }),
              "I/O error 5");
    EXPECT_EQ(outcome([&] { return index.last(Difficulty::Normal, "Bog Wight", cut); }),
              "'x' is not a valid integer value");
    for (const char* monster : {"Cave Lurker", "Bog Wight", "Nobody"}) {
        EXPECT_EQ(
            outcome([&] { return index.first(Difficulty::Normal, monster, cut); }),
            outcome([&] { return qdc::findFirstLevel(files, Difficulty::Normal, monster, cut); }));
        EXPECT_EQ(
            outcome([&] { return index.last(Difficulty::Normal, monster, cut); }),
            outcome([&] { return qdc::findLastLevel(files, Difficulty::Normal, monster, cut); }));
    }
}

// Lookups in the order of the file, out of it and repeated, over lines with
// CR LF and lone CRs, give what a fresh read gives, errors and their lines
// included.
TEST(LevelIndex, AnyLookupOrderSameAsReadingTheFile) {
    qdc::MemoryFileSource files{
        {"Normal/levels.txt", "A:1,100\r\nB:\r2,200\r\nA:3,300\nC:y\nD:4,5\r\n"}};
    // The outcome, and for an error the line it is located at.
    const auto where = [](const auto& lookup) {
        try {
            lookup();
        } catch (const qdc::DropError& e) {
            return outcome(lookup) + "@" + std::to_string(e.location()->line) + ":" +
                   e.location()->text;
        }
        return outcome(lookup);
    };
    const std::vector<std::vector<std::string>> orders = {
        {"A", "B", "C", "D"}, {"D", "C", "B", "A"}, {"B", "B", "A", "A", "E", "D"}};
    for (const auto& order : orders) {
        qdc::LevelIndex index(files);
        for (const std::string& m : order) {
            for (const auto cut : {ReductionCut::AfterComma, ReductionCut::LastThree}) {
                EXPECT_EQ(
                    where([&] { return index.first(Difficulty::Normal, m, cut); }),
                    where([&] { return qdc::findFirstLevel(files, Difficulty::Normal, m, cut); }))
                    << m;
                EXPECT_EQ(where([&] { return index.last(Difficulty::Normal, m, cut); }), where([&] {
                              return qdc::findLastLevel(files, Difficulty::Normal, m, cut);
                          }))
                    << m;
            }
        }
    }
    qdc::LevelIndex index(files);
    EXPECT_EQ(where([&] { return index.last(Difficulty::Normal, "B", ReductionCut::LastThree); }),
              "2/200");
    EXPECT_EQ(where([&] { return index.first(Difficulty::Normal, "C", ReductionCut::AfterComma); }),
              "'y' is not a valid integer value@4:C:y");
}

namespace {

// A sink that notes each error with its line and lets the lookup go on.
struct NotingSink final : qdc::ErrorSink {
    std::string noted;
    void error(const qdc::DropError& e) override {
        noted += std::to_string(e.location()->line) + ":" + e.message() + "; ";
    }
};

} // namespace

// With a sink that returns, a line that does not convert is passed over: the
// last line of a name is the last that converts, and every bad line of the
// name is told, at its line.
TEST(LevelIndex, LooksOnPastBadLinesThroughASink) {
    qdc::MemoryFileSource files{{"Normal/levels.txt", "A:1,100\nB:x\nA:y\nA:3,300\nA:z\n"}};
    const struct {
        const char* monster;
        bool last;
        const char* record;
        const char* errors;
    } cases[] = {
        {"A", false, "1/100", ""},
        {"A", true, "3/300",
         "3:'y' is not a valid integer value; 5:'z' is not a valid integer value; "},
        {"B", false, "none", "2:'x' is not a valid integer value; "},
        {"Nobody", true, "none", ""},
    };
    for (const auto& c : cases) {
        qdc::LevelIndex index(files);
        NotingSink sink;
        const auto cut = ReductionCut::AfterComma;
        const auto record = c.last ? index.last(Difficulty::Normal, c.monster, cut, sink)
                                   : index.first(Difficulty::Normal, c.monster, cut, sink);
        EXPECT_EQ(record ? std::to_string(record->level) + "/" + std::to_string(record->reduction)
                         : "none",
                  c.record)
            << c.monster;
        EXPECT_EQ(sink.noted, c.errors) << c.monster;
    }
}
