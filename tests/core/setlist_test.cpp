#include "data/setlist.h"
#include "results/error.h"
#include "search/searches.h"

#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace qdc;

namespace {

const std::string kSets = ":Ashen Vigil,11\n"
                          "Ashen Vigil Cowl,Cap,3\n"
                          "Ashen Vigil Band,Ring,5\n"
                          ":Iron Chorus,30\n"
                          "Iron Chorus Girdle,Heavy Belt,7\n";

std::string errorOf(const std::function<void()>& f) {
    return dropErrorOf(f);
}

// Hands out setlist.txt with a read error after its lines.
class FailingSource : public FileSource {
  public:
    explicit FailingSource(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    std::shared_ptr<const FileLines> load(const std::string&) override {
        return qdc::makeFileLines(joinLines(lines_), qdc::DropError("I/O error 5"));
    }

  private:
    std::vector<std::string> lines_;
};

} // namespace

TEST(ChooseBaseSet, ListsTheFirstBlockOnly) {
    const struct {
        const char* file;
        const char* baseSet;
        std::vector<std::string> names;
        bool prompt;
    } cases[] = {
        {kSets.c_str(), "Ashen Vigil", {"Ashen Vigil Cowl", "Ashen Vigil Band"}, true},
        {kSets.c_str(), "Iron Chorus", {"Iron Chorus Girdle"}, true},
        // No header carries the name: the whole file is read, nothing listed.
        {kSets.c_str(), "Ashen", {}, true},
        {kSets.c_str(), "[select a base set]", {}, true},
        // An empty block as the first line: nothing was read that shows the prompt.
        {":Empty,5\n:Other,3\nX,Cap,1\n", "Empty", {}, false},
        {":Empty,5\n:Other,3\nX,Cap,1\n", "Other", {"X"}, true},
        // An empty block after other lines still shows the prompt.
        {"Loose,Cap,1\n:Empty,5\n:Other,3\n", "Empty", {}, true},
        {"", "Empty", {}, false},
        // Two blocks of one name: the first one only.
        {":Twin,5\nA,Cap,1\n:Twin,9\nB,Cap,1\n", "Twin", {"A"}, true},
        // A blank line and a line without "," give empty names; nothing converts.
        {":S,x\nA,Cap,1\n\nNoComma\nB,Ring,q\n", "S", {"A", "", "", "B"}, true},
        // A set item line before the first header is never listed.
        {"Loose,Cap,1\n:S,5\nA,Cap,1\n", "S", {"A"}, true},
        // A header without "," has the empty name.
        {":NoLevel\nA,Cap,1\n", "", {"A"}, true},
    };
    for (const auto& c : cases) {
        MemoryFileSource files{{"setlist.txt", c.file}};
        SetItemChoice choice;
        chooseBaseSet(files, c.baseSet, choice);
        EXPECT_EQ(choice.names, c.names) << c.file << " / " << c.baseSet;
        EXPECT_EQ(choice.showPrompt, c.prompt) << c.file << " / " << c.baseSet;
    }
}

TEST(ChooseBaseSet, ChoosingAgainReplacesTheEntries) {
    MemoryFileSource files{{"setlist.txt", kSets}};
    SetItemChoice choice;
    chooseBaseSet(files, "Ashen Vigil", choice);
    chooseBaseSet(files, "Ashen Vigil", choice);
    EXPECT_EQ(choice.names, (std::vector<std::string>{"Ashen Vigil Cowl", "Ashen Vigil Band"}));
    chooseBaseSet(files, "Iron Chorus", choice);
    EXPECT_EQ(choice.names, std::vector<std::string>{"Iron Chorus Girdle"});
}

TEST(ChooseBaseSet, KeepsWhatWasReadWhenAnErrorEndsIt) {
    MemoryFileSource none;
    SetItemChoice choice{{"old"}, true};
    EXPECT_EQ(errorOf([&] { chooseBaseSet(none, "S", choice); }), "File not found");
    EXPECT_TRUE(choice.names.empty());
    EXPECT_FALSE(choice.showPrompt);

    FailingSource failing({":S,1", "A,Cap,1", "B,Ring,2"});
    EXPECT_EQ(errorOf([&] { chooseBaseSet(failing, "S", choice); }), "I/O error 5");
    EXPECT_EQ(choice.names, (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(choice.showPrompt);
}

TEST(FindSetItem, LastMatchingLineDecides) {
    const struct {
        const char* file;
        const char* baseSet;
        const char* setItem;
        std::int32_t level;
        const char* baseItem;
        std::int32_t weight;
    } cases[] = {
        {kSets.c_str(), "Iron Chorus", "Iron Chorus Girdle", 30, "Heavy Belt", 7},
        {kSets.c_str(), "Ashen Vigil", "Ashen Vigil Band", 11, "Ring", 5},
        // The prompt of the base-set box matches no header: set level 0.
        {kSets.c_str(), "[select a base set]", "Ashen Vigil Cowl", 0, "Cap", 3},
        // A set item of another block is found with the base set given.
        {kSets.c_str(), "Iron Chorus", "Ashen Vigil Cowl", 30, "Cap", 3},
        {kSets.c_str(), "Nothing", "Nothing", 0, "", 0},
        {":S,5\nA,Cap,1\n:S,9\nA,Ring,2\n", "S", "A", 9, "Ring", 2},
        // Any line whose text from the second character to the first ","
        // equals the base set name sets the level, header or not.
        {":S,5\nXS,12\nA,Cap,1\n", "S", "A", 12, "Cap", 1},
        // The weight is the last character of the line.
        {":S,5\nA,Cap,17\n", "S", "A", 5, "Cap", 7},
        // Lines that do not match are never converted.
        {":S,5\n:T,bad\nB,Cap,x\nA,Cap,1\n", "S", "A", 5, "Cap", 1},
    };
    for (const auto& c : cases) {
        MemoryFileSource files{{"setlist.txt", c.file}};
        const SetItemFind found = findSetItem(files, c.baseSet, c.setItem);
        EXPECT_EQ(found.setLevel, c.level) << c.file << " / " << c.setItem;
        EXPECT_EQ(found.baseItem, c.baseItem) << c.file << " / " << c.setItem;
        EXPECT_EQ(found.setWeight, c.weight) << c.file << " / " << c.setItem;
    }
}

TEST(FindSetItem, ConvertsTheMatchingLines) {
    const struct {
        const char* file;
        const char* error;
    } cases[] = {
        {":S,1x\nA,Cap,1\n", "'1x' is not a valid integer value"},
        {":S,5\nA,Cap,x\n", "'x' is not a valid integer value"},
        {":S,5\nA,Cap,3 \n", "' ' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files{{"setlist.txt", c.file}};
        EXPECT_EQ(errorOf([&] { findSetItem(files, "S", "A"); }), c.error) << c.file;
    }
    MemoryFileSource none;
    EXPECT_EQ(errorOf([&] { findSetItem(none, "S", "A"); }), "File not found");
}

namespace {

// The set monster search's index: records by base item with the level of
// their block, up to the first line that does not convert.
std::string indexed(MemoryFileSource& files, const std::vector<std::string>& bases) {
    SetItemIndex index(files);
    std::string seen;
    for (const std::string& base : bases)
        for (const SetItemRecord& r : index.recordsOf(base))
            seen += r.name + "|" + r.baseItem + "|" + std::to_string(r.setWeight) + "|" +
                    std::to_string(r.setLevel) + "; ";
    return seen + errorOf([&] { index.raiseWalkEnd(); });
}

} // namespace

TEST(SetItemIndex, GivesEveryItemWithTheLevelOfItsBlock) {
    MemoryFileSource files{{"setlist.txt", "Loose,Cap,2\n" + kSets + ":Empty,40\n"}};
    EXPECT_EQ(indexed(files, {"Cap", "Ring", "Heavy Belt"}),
              "Loose|Cap|2|0; Ashen Vigil Cowl|Cap|3|11; Ashen Vigil Band|Ring|5|11; "
              "Iron Chorus Girdle|Heavy Belt|7|30; no error");
}

TEST(SetItemIndex, ConversionErrorsEndTheWalkAtTheirLine) {
    const struct {
        const char* file;
        const char* want;
    } cases[] = {
        {":S,5\nA,Cap,1\n\nB,Cap,1\n", "A|Cap|1|5; '' is not a valid integer value"},
        {":S,5\nA,Cap,1\n:T\nB,Cap,1\n", "A|Cap|1|5; '' is not a valid integer value"},
        {":S,5\nA,Cap,1\nB,Cap\n", "A|Cap|1|5; '' is not a valid integer value"},
        {":S,5\nA,Cap,1\nB\n", "A|Cap|1|5; '' is not a valid integer value"},
        {":S,5\nA,Cap,x\n", "'x' is not a valid integer value"},
        {":S,five\nA,Cap,1\n", "'five' is not a valid integer value"},
        // The weight is everything after the second ",".
        {":S,5\nA,Cap,1,2\n", "'1,2' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files{{"setlist.txt", c.file}};
        EXPECT_EQ(indexed(files, {"Cap"}), c.want) << c.file;
    }
}

namespace {

// A sink that notes each error and lets the reader go on.
struct NotingSink final : qdc::ErrorSink {
    std::string noted;
    void error(const qdc::DropError& e) override { noted += e.message() + "; "; }
};

} // namespace

// Fed line by line with a sink that returns, the index converts every line and
// reports each fault, but indexes nothing from the first fault on: what it
// holds is what a search reads.
TEST(SetItemIndex, ReadsOnPastFaultsThroughASink) {
    const struct {
        const char* file;
        const char* records; // of "Cap"
        const char* errors;
    } cases[] = {
        {":S,5\nA,Cap,1\nB,Cap,2\n", "A|5 B|5 ", ""},
        {":S,5\nA,Cap,x\nB,Cap,2\nC,Cap,y\n", "",
         "'x' is not a valid integer value; 'y' is not a valid integer value; "},
        {":S,5\nA,Cap,1\n:T,z\nB,Cap,2\n", "A|5 ", "'z' is not a valid integer value; "},
        {"A,Cap,1\n:S,5\nB,Cap,2\n", "A|0 B|5 ", ""},
    };
    for (const auto& c : cases) {
        MemoryFileSource none;
        SetItemIndex index(none);
        NotingSink sink;
        std::string records;
        std::istringstream in(c.file);
        for (std::string line; std::getline(in, line);)
            if (const SetItemRecord* r = index.add(cutSetListLine(line), sink))
                records += r->name + "|" + std::to_string(r->setLevel) + " ";
        EXPECT_EQ(records, c.records) << c.file;
        EXPECT_EQ(sink.noted, c.errors) << c.file;
    }
}
