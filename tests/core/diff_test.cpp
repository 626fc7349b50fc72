#include "search/diff.h"

#include "tests/core/random_data.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <utility>

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

namespace {

using qdc::DiffError;
using qdc::DiffRow;
using qdc::DropError;
using qdc::FolderDiff;
using qdc::LineReader;
using qdc::MemoryFileSource;
using qdc::SortMode;

// The lines of a file, each ended by "\n".
std::string textOf(MemoryFileSource files, const std::string& path) {
    std::string text;
    LineReader reader = files.open(path);
    std::string_view line;
    while (reader.next(line))
        text.append(line).append("\n");
    return text;
}

// A sound data set of a few monsters, the same for the same seed; with
// `only`, just that file of it.
MemoryFileSource soundData(unsigned seed, const std::string& only = {}) {
    std::mt19937 rng(seed);
    const auto number = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
    const std::vector<std::string> items = {"Ring", "Amulet", "Cap", "Heavy Boots", "Gold"};
    const auto item = [&] { return items[static_cast<std::size_t>(number(0, 4))]; };
    MemoryFileSource files;
    const auto set = [&](const std::string& path, const std::string& text) {
        if (only.empty() || only == path)
            files.set(path, text);
    };
    std::string text;
    for (const std::string& name : items)
        text += name + "," + std::to_string(number(0, 1)) + "\n";
    set("itemlist.txt", std::exchange(text, {}));
    for (int i = 0; i < 6; ++i)
        text += "U" + std::to_string(i) + "," + item() + ":" + std::to_string(number(10, 90)) +
                "," + std::to_string(number(1, 5)) + "\n";
    set("unilist.txt", std::exchange(text, {}));
    for (int k = 0; k < 2; ++k) {
        text += ":S" + std::to_string(k) + "," + std::to_string(number(5, 60)) + "\n";
        for (int i = 0; i < 3; ++i)
            text += "S" + std::to_string(k) + std::to_string(i) + "," + item() + "," +
                    std::to_string(number(1, 3)) + "\n";
    }
    set("setlist.txt", std::exchange(text, {}));
    for (const std::string d : {"Normal/", "Nightmare/", "Hell/"}) {
        std::string levels;
        for (int j = 0; j < 5; ++j) {
            const std::string name = "M" + std::to_string(j);
            text +=
                name + ":t" + std::to_string(j % 3) + ".txt," + std::to_string(number(1, 3)) + "\n";
            levels += name + ":" + std::to_string(number(1, 99)) + "," +
                      std::to_string(number(100, 600)) + "\n";
        }
        set(d + "monsterlist.txt", std::exchange(text, {}));
        set(d + "levels.txt", levels);
        for (int t = 0; t < 3; ++t) {
            for (int i = number(1, 4); i > 0; --i)
                text += (number(0, 5) == 0 ? std::string("-")
                                           : item() + ":0.0" + std::to_string(number(1, 9))) +
                        "\n";
            set(d + "t" + std::to_string(t) + ".txt", std::exchange(text, {}));
        }
    }
    return files;
}

// The rows and counts of a whole-folder diff, or the error that ended it.
std::optional<std::string> rowsOf(MemoryFileSource& before, MemoryFileSource& after, bool every,
                                  std::string& error) {
    try {
        const FolderDiff diff = qdc::diffFolders(before, after, '.', SortMode::ChanceFirst, "200",
                                                 {true, true, true}, every);
        std::string text;
        for (const DiffRow& row : diff.rows)
            text += qdc::diffRowText(row) + "\n";
        return text + std::to_string(diff.appeared) + "/" + std::to_string(diff.vanished) + "/" +
               std::to_string(diff.changed);
    } catch (const DiffError& e) {
        error = e.error.what();
        return std::nullopt;
    }
}

} // namespace

// On sound random data with one file replaced, skipping the searches whose
// data are alike changes no row.
TEST(DiffFolders, SkippingAlikeSearchesChangesNoRow) {
    int changed = 0;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        MemoryFileSource before = soundData(seed);
        MemoryFileSource after = soundData(seed);
        const std::vector<std::string> paths = before.paths();
        const std::string& edited = paths[seed % paths.size()];
        after.set(edited, textOf(soundData(seed + 1000, edited), edited));
        std::string error;
        const auto shortcut = rowsOf(before, after, false, error);
        const auto every = rowsOf(before, after, true, error);
        ASSERT_TRUE(shortcut && every) << seed << " " << edited << ": " << error;
        EXPECT_EQ(*shortcut, *every) << seed << " " << edited;
        changed += shortcut->find('\n') != std::string::npos ? 1 : 0;
    }
    // Most edits change something.
    EXPECT_GT(changed, 60);
}

namespace {

// What a search gives: its entries and note, or the error that ended it with
// where it came from.
std::string outcomeOf(const qdc::SearchKind& search, qdc::FileSource& files,
                      const std::string& monster) {
    qdc::MemoryResultList list;
    const qdc::SearchEnv env{files, '.', SortMode::ChanceFirst};
    std::string text;
    try {
        text = *search.run(env, list, {{monster}, {true, false, false}, "150"});
    } catch (const DropError& e) {
        text = "!" + e.message() + "|" + e.detail();
        if (const auto& where = e.location())
            text += "|" + where->path + ":" + std::to_string(where->line) + ":" + where->text;
        if (const auto& by = e.namedBy())
            text += "|" + by->path + ":" + std::to_string(by->line);
    }
    for (int i = 0; i < list.count(); ++i)
        text += "\n" + list.at(i);
    return text;
}

} // namespace

// Searches that run one after another over a source that shares what they
// parse give what each gives reading the folder anew, errors included, the
// second time a list is read as the first.
TEST(SharedParsing, SearchesAnswerAsReadingAnew) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> edits;
        bool errors; // whether some search ends on an error
    };
    const std::vector<Case> cases = {
        {"sound lists", {}, false},
        {"a unique's level that does not convert",
         {{"unilist.txt", "Band,Cap:1\nLoop,Ring:x\n"}},
         true},
        {"a ring's weight that does not convert", {{"unilist.txt", "Loop,Ring:01,y\n"}}, true},
        {"a set item's weight that does not convert",
         {{"setlist.txt", ":S,1\nHood,Cap,z\n"}},
         true},
        {"a level line that does not convert", {{"Normal/levels.txt", "Bat:5,300\nRat:q\n"}}, true},
        {"a monster list ended by Ctrl-Z",
         {{"Normal/monsterlist.txt", "Rat:b.txt,2\n\x1aRat:a.txt,1\n"}},
         false},
        {"a missing table, a lone CR and a picks digit that does not convert",
         {{"Normal/monsterlist.txt", "Rat:a.txt,1\nBat:none.txt,1\nBat:Grey:c\r.txt,x\n"}},
         true},
    };
    const std::vector<std::string> monsters = {"Rat", "Bat", "Bat:Grey", "Cat"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::map<std::string, std::string> files = {
            {"itemlist.txt", "Cap,0\nRing,1\n"},
            {"unilist.txt", "Band,Cap:1\nLoop,Ring:01,2\nHigh,Cap:60\n"},
            {"setlist.txt", ":S,1\nHood,Cap,2\nBand S,Ring,1\n"},
            {"Normal/monsterlist.txt", "Rat:a.txt,1\nRat:b.txt,2\nBat:Grey:c.txt,1\n"},
            {"Normal/levels.txt", "Rat:10,200\nBat:5,300\n"},
            {"Normal/a.txt", "Cap:0.5\n-\nRing:0.25\n"},
            {"Normal/b.txt", "Ring:0.5\nCap:0.125\n"},
            {"Normal/c.txt", "Cap:0.5\n"},
            {"Normal/Grey:c.txt", "Ring:0.5\n"},
        };
        for (const auto& [path, bytes] : c.edits)
            files[path] = bytes;
        MemoryFileSource folder;
        for (const auto& [path, bytes] : files)
            folder.set(path, bytes);
        qdc::SharedParsingSource shared(folder);
        bool errors = false;
        for (int pass = 0; pass < 2; ++pass) {
            for (const std::string& monster : monsters) {
                for (const qdc::SearchKind* search : qdc::monsterSearches()) {
                    const std::string anew = outcomeOf(*search, folder, monster);
                    EXPECT_EQ(outcomeOf(*search, shared, monster), anew)
                        << pass << " " << search->command << " " << monster;
                    errors = errors || anew.starts_with("!");
                }
            }
        }
        EXPECT_EQ(errors, c.errors);
    }
}
