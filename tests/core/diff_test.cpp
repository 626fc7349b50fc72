#include "search/diff.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using qdc::DiffKind;
using qdc::EntryParts;

EntryParts entry(const std::string& name, const std::string& chance, const std::string& difficulty,
                 std::size_t suffix = 0) {
    return {name, chance, difficulty, suffix, std::stod(chance), qdc::oddsFor(std::stod(chance))};
}

// "+Name@Difficulty:new", "-Name@Difficulty:old", "~Name@Difficulty:old>new".
std::string told(const std::vector<qdc::DiffRow>& rows) {
    std::string text;
    for (const qdc::DiffRow& row : rows) {
        text += row.kind == DiffKind::Appeared ? '+' : row.kind == DiffKind::Vanished ? '-' : '~';
        text += row.name + "@" + row.difficulty + ":";
        text += row.before ? row.before->text : "";
        text += row.before && row.after ? ">" : "";
        text += row.after ? row.after->text : "";
        text += ' ';
    }
    return text;
}

TEST(DiffEntries, PairsEntriesByPlainNameAndDifficulty) {
    struct Case {
        const char* what;
        std::vector<EntryParts> before, after;
        std::string rows;
    };
    const std::vector<Case> cases = {
        {"alike", {entry("Rat", "5", "Normal")}, {entry("Rat", "5", "Normal")}, ""},
        {"the suffix is not part of the name",
         {entry("Rat (H)", "5", "Hell", 4), entry("Rat", "5", "Normal")},
         {entry("Rat", "5", "Normal"), entry("Rat (H)", "6", "Hell", 4)},
         "~Rat@Hell:5>6 "},
        {"one name at two difficulties",
         {entry("Rat", "5", "Normal")},
         {entry("Rat (Nm)", "5", "Nightmare", 5)},
         "+Rat@Nightmare:5 -Rat@Normal:5 "},
        {"a name listed twice pairs in order",
         {entry("Rat", "1", "Normal"), entry("Rat", "2", "Normal")},
         {entry("Rat", "1", "Normal"), entry("Rat", "3", "Normal"), entry("Rat", "4", "Normal")},
         "~Rat@Normal:2>3 +Rat@Normal:4 "},
        {"the chance text decides, not its number",
         {entry("Rat", "5", "Normal")},
         {entry("Rat", "5.0", "Normal")},
         "~Rat@Normal:5>5.0 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(told(qdc::diffEntries(c.before, c.after)), c.rows);
    }
}

// A monster named on two lines, and one whose name holds a ":", in a folder
// held in memory.
qdc::MemoryFileSource folder(const std::map<std::string, std::string>& edits) {
    std::map<std::string, std::string> files = {
        {"itemlist.txt", "Cap,0\n"},
        {"unilist.txt", ""},
        {"setlist.txt", ""},
        {"Normal/monsterlist.txt", "Rat:a.txt,1\nRat:b.txt,1\nBat:Grey:c.txt,1\n"},
        {"Normal/levels.txt", "Rat:1\n"},
        {"Normal/a.txt", "Cap:0.5\n-\nNothing:0.5\n"},
        {"Normal/b.txt", "Cap:0.5\n"},
        {"Normal/c.txt", "Cap:0.5\n"},
        {"Normal/Grey:c.txt", "Gold:0.5\n"}, // what "Bat" names
        {"Nightmare/monsterlist.txt", ""},
        {"Nightmare/levels.txt", ""},
        {"Hell/monsterlist.txt", ""},
        {"Hell/levels.txt", ""},
    };
    for (const auto& [path, bytes] : edits)
        files[path] = bytes;
    qdc::MemoryFileSource source;
    for (const auto& [path, bytes] : files)
        source.set(path, bytes);
    return source;
}

TEST(DiffFolders, SearchesEveryMonsterWhoseFilesDiffer) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> edits;
        std::size_t searched;
        std::string rows;
    };
    const std::vector<Case> cases = {
        {"alike", {}, 0, ""},
        // Once a "-" line is read, the chances of an item add up.
        {"the second table of a monster named twice",
         {{"Normal/b.txt", "Cap:0.25\n"}},
         3,
         "~Cap@Normal:100>75 "},
        {"a table named by a name that holds a \":\"",
         {{"Normal/c.txt", "Cap:0.25\n"}},
         3, // "Bat:Grey"'s, not "Bat"'s
         "~Cap@Normal:50>25 "},
        // A list entry counts for the monsters whose tables may name it.
        {"a flag no table names", {{"itemlist.txt", "Cap,0\nHat,1\n"}}, 0, ""},
        {"a flag two monsters' tables name", {{"itemlist.txt", "Cap,1\n"}}, 4, ""},
        {"a unique of Bat's item", {{"unilist.txt", "Band,Gold:99\n"}}, 1, ""},
        // Every unique monster search that reads a drop line meets it.
        {"a level that does not convert",
         {{"unilist.txt", "Band,Hat:x\n"}},
         0,
         "NEW: 'x' is not a valid integer value"},
        {"the tables swapped, Bat gone",
         {{"Normal/monsterlist.txt", "Rat:b.txt,1\nRat:a.txt,1\n"}},
         9,
         "~Cap@Normal:100>50 +Cap@Normal:50 -Gold@Normal:50 -Cap@Normal:50 "},
    };
    qdc::MemoryFileSource before = folder({});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qdc::MemoryFileSource after = folder(c.edits);
        std::string rows;
        std::size_t searched = 0;
        try {
            const qdc::FolderDiff diff = qdc::diffFolders(
                before, after, '.', qdc::SortMode::ChanceFirst, "0", {true, true, true});
            EXPECT_EQ(diff.monsters, 3U); // Rat, Bat, Bat:Grey
            searched = diff.searched;
            rows = told(diff.rows);
        } catch (const qdc::DiffError& e) {
            rows = (e.side == qdc::DiffSide::New ? "NEW: " : "OLD: ") + e.error.message();
        }
        EXPECT_EQ(searched, c.searched);
        EXPECT_EQ(rows, c.rows);
    }
}

} // namespace
