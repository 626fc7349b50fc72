#include "data/droptable.h"
#include "data/monsterlist.h"
#include "results/error.h"

#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

using qdc::Difficulty;

namespace {

std::vector<std::string> candidateNames(const std::string& line) {
    std::vector<std::string> names;
    for (const auto& c : qdc::scanMonsterNames(line))
        names.emplace_back(c.name);
    return names;
}

} // namespace

TEST(MonsterLine, ThirtyCharacterRule) {
    const std::string name29(29, 'n');
    const std::string name30(30, 'n');
    const struct {
        std::string line;
        std::vector<std::string> names;
    } cases[] = {
        {"Cave Lurker:lurker.txt,3", {"Cave Lurker"}},
        {"", {}},
        {"no colon here,3", {}},
        {":x.txt,1", {""}},
        {name29 + ":x.txt,1", {name29}},
        {name30 + ":x.txt,1", {}},
        {"Cave Lurker:lurker.txt:3", {"Cave Lurker", "Cave Lurker:lurker.txt"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(candidateNames(c.line), c.names) << c.line;
}

TEST(MonsterLine, FirstColonCutAndDropTableReference) {
    const auto cut = qdc::cutFirstColon("Cave Lurker:lurker.txt,3");
    EXPECT_EQ(cut.name, "Cave Lurker");
    EXPECT_EQ(cut.rest, "lurker.txt,3");
    const auto ref = qdc::dropTableRef(Difficulty::Nightmare, cut.rest);
    EXPECT_EQ(ref.picks, 3);
    EXPECT_EQ(ref.path, "Nightmare/lurker.txt");

    const std::string long30(30, 'n');
    EXPECT_EQ(qdc::cutFirstColon(long30 + ":x.txt,1").name, long30);
    const auto none = qdc::cutFirstColon("no colon,4");
    EXPECT_EQ(none.name, "");
    EXPECT_EQ(none.rest, "no colon,4");
    EXPECT_EQ(qdc::dropTableRef(Difficulty::Hell, "act1\\lurker.txt;2").path,
              "Hell/act1/lurker.txt");
    EXPECT_EQ(qdc::dropTableRef(Difficulty::Normal, "7").path, "Normal/");
}

TEST(MonsterLine, DropTablePathIntoOneBuffer) {
    // Each path replaces the whole of the one before, longer or not.
    const struct {
        Difficulty d;
        std::string rest;
        std::string path;
    } cases[] = {
        {Difficulty::Nightmare, "act1\\deep\\lurker tables.txt,3",
         "Nightmare/act1/deep/lurker tables.txt"},
        {Difficulty::Hell, "a.txt,1", "Hell/a.txt"},
        {Difficulty::Normal, "\\x\\,2", "Normal//x/"},
        {Difficulty::Hell, "7", "Hell/"},
        {Difficulty::Normal, "", "Normal/"},
    };
    std::string path = "left over from an earlier path, longer than any";
    for (const auto& c : cases) {
        qdc::dropTablePath(c.d, c.rest, path);
        EXPECT_EQ(path, c.path) << c.rest;
        EXPECT_EQ(path, qdc::difficultyPath(qdc::difficultyName(c.d),
                                            std::string(qdc::dropTableName(c.rest))))
            << c.rest;
        const std::string line = "M:" + c.rest;
        const auto cut = qdc::firstColonCut(line);
        EXPECT_EQ(cut.name, "M");
        EXPECT_EQ(cut.rest, c.rest);
    }
    const auto none = qdc::firstColonCut("no colon,4");
    EXPECT_TRUE(none.name.empty());
    EXPECT_EQ(none.rest, "no colon,4");
}

TEST(MonsterLine, BadPicksCharacter) {
    for (const auto& row : std::vector<std::pair<std::string, std::string>>{
             {"lurker.txt,x", "x"}, {"", ""}, {"lurker.txt, ", " "}, {"a.txt,-", "-"}}) {
        EXPECT_DROP_ERROR(qdc::dropTableRef(Difficulty::Normal, row.first),
                          "'" + row.second + "' is not a valid integer value");
    }
}

TEST(DropTableLine, DashEntriesAndSeparator) {
    // line, decimal separator: "dash" or item|chance
    const std::vector<std::array<std::string, 3>> cases = {
        {"-", ".", "dash"},
        {"- ", ".", "|- "},
        {"Short Blade:0.3", ".", "Short Blade|0.3"},
        {"Elixir.Small:0.25", ",", "Elixir,Small|0,25"},
        {"A:B:0.1", ".", "A|B:0.1"},
        {":0.5", ".", "|0.5"},
    };
    for (const auto& [line, separator, want] : cases) {
        std::string storage;
        const auto step = qdc::cutDropLine(line, separator[0], storage, 2);
        EXPECT_EQ(step ? std::string(step->item) + "|" + std::string(step->chance) : "dash", want)
            << line;
    }
}

TEST(StartLists, MonsterNamesKeepOrderAndDuplicates) {
    qdc::MemoryFileSource files{{"Normal/monsterlist.txt",
                                 "Cave Lurker:lurker.txt,3\n\nBog Wight:b.txt,1\n"
                                 "Cave Lurker:other.txt,2\nA:b:c,1\n"}};
    std::vector<std::string> names;
    qdc::readMonsterNames(files, names);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Cave Lurker", "Bog Wight", "Cave Lurker", "A", "A:b"}));
    qdc::MemoryFileSource empty;
    std::vector<std::string> none;
    EXPECT_THROW(qdc::readMonsterNames(empty, none), qdc::DropError);
    EXPECT_TRUE(none.empty());
}

// A drop table named by several monster lines is read once; one named by a
// single line is read for it alone and never kept.
TEST(MonsterLists, EachDropTableReadOnceAndNotKeptLonger) {
    struct CountingSource : qdc::MemoryFileSource {
        using MemoryFileSource::MemoryFileSource;
        std::map<std::string, int> loads;
        std::shared_ptr<const qdc::FileLines> load(const std::string& path) override {
            ++loads[path];
            return MemoryFileSource::load(path);
        }
    } source{{"Normal/monsterlist.txt", "A:a.txt,1\nB:b.txt,2\nC:a.txt,3\nD:c\\x.txt,1\n"
                                        "E:a.txt,2\nF:c/x.txt,1\n"},
             {"Normal/a.txt", "Ring:0.5\n"},
             {"Normal/b.txt", "Ring:0.5\n"},
             {"Normal/c/x.txt", "Ring:0.5\n"}};
    qdc::CachingFileSource files(source);
    qdc::forEachMonsterLine(files, {true}, [&](Difficulty d, const qdc::MonsterCandidate& m) {
        EXPECT_EQ(files.read(qdc::dropTableRef(d, m.rest).path)->bytes, "Ring:0.5\n") << m.name;
    });
    // The two spellings of c/x.txt are two tables to the count: read twice.
    EXPECT_EQ(source.loads, (std::map<std::string, int>{{"Normal/a.txt", 1},
                                                        {"Normal/b.txt", 1},
                                                        {"Normal/c/x.txt", 2},
                                                        {"Normal/monsterlist.txt", 1}}));
    // Once walked, nothing is kept: reading again loads again.
    files.read("Normal/a.txt");
    EXPECT_EQ(source.loads["Normal/a.txt"], 2);
}
