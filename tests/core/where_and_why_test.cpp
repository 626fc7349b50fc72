// Where an error came from, and the note of a search that finds nothing.

#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "search/notes.h"
#include "search/searches.h"
#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qdc;

namespace {

// Cave Lurker (level 30, one pick) in Normal and Hell, a cap and a ring.
MemoryFileSource baseData() {
    return MemoryFileSource{{"itemlist.txt", "Cap,0\nRing,1\n"},
                            {"unilist.txt", "Tinker's Cap,Cap:05\nCoil,Ring:05,3\n"},
                            {"setlist.txt", ":Ashen,05\nAshen Cap,Cap,3\n"},
                            {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\n"},
                            {"Normal/levels.txt", "Cave Lurker:30\n"},
                            {"Normal/lurker.txt", "Cap:0.5\nRing:0.1\n"},
                            {"Hell/monsterlist.txt", "Cave Lurker:act2\\lurker.txt,1\n"},
                            {"Hell/levels.txt", "Cave Lurker:30\n"},
                            {"Hell/act2/lurker.txt", "Cap:0.5\n"}};
}

// Hands out one file with a read error after its lines.
class FailingRead : public FileSource {
  public:
    FailingRead(MemoryFileSource& inner, std::string path)
        : inner_(inner), path_(std::move(path)) {}
    std::shared_ptr<const FileLines> load(const std::string& path) override {
        auto file = inner_.load(path);
        if (path != path_)
            return file;
        return makeFileLines(file->bytes, DropError("I/O error 5"));
    }

  private:
    MemoryFileSource& inner_;
    std::string path_;
};

using SearchRun = std::function<SearchNote(FileSource&, ResultList&)>;

SearchRun monster(const std::string& name, Difficulty d = Difficulty::Normal) {
    return [=](FileSource& f, ResultList& l) { return monsterSearch({f}, l, name, d); };
}
SearchRun item(const std::string& name, DifficultySet ds = normalOnly()) {
    return [=](FileSource& f, ResultList& l) { return itemSearch({f}, l, name, ds); };
}
SearchRun uniqueItem(const std::string& name, const std::string& mf = "0",
                     DifficultySet ds = normalOnly()) {
    return [=](FileSource& f, ResultList& l) { return uniqueItemSearch({f}, l, name, ds, mf); };
}
SearchRun uniqueMonster(const std::string& name, const std::string& mf = "0",
                        Difficulty d = Difficulty::Normal) {
    return [=](FileSource& f, ResultList& l) { return uniqueMonsterSearch({f}, l, name, d, mf); };
}
SearchRun setItem(const std::string& baseSet, const std::string& name, const std::string& mf = "0",
                  DifficultySet ds = normalOnly()) {
    return
        [=](FileSource& f, ResultList& l) { return setItemSearch({f}, l, baseSet, name, ds, mf); };
}
SearchRun setMonster(const std::string& name, const std::string& mf = "0",
                     Difficulty d = Difficulty::Normal) {
    return [=](FileSource& f, ResultList& l) { return setMonsterSearch({f}, l, name, d, mf); };
}
std::string where(const SearchOutcome& out) {
    if (!out.location)
        return out.error.empty() ? "no error" : "nowhere";
    return out.location->path + ":" + std::to_string(out.location->line) + ":" + out.location->text;
}

} // namespace

TEST(ErrorLocation, EachSearchAndReaderSaysWhere) {
    const struct {
        const char* file; // replaced in the base data ("" for none)
        std::string bytes;
        SearchRun run;
        const char* where; // path:line:text
    } cases[] = {
        {"Normal/lurker.txt", "Cap:0.5\r\nRing:lots\r\n", monster("Cave Lurker"),
         "Normal/lurker.txt:2:Ring:lots"},
        {"Normal/monsterlist.txt", "Bat:b.txt,1\nCave Lurker:lurker.txt,x\n",
         monster("Cave Lurker"), "Normal/monsterlist.txt:2:Cave Lurker:lurker.txt,x"},
        {"Normal/monsterlist.txt", "Cave Lurker:gone.txt,1\n", monster("Cave Lurker"),
         "Normal/gone.txt:0:"},
        {"Hell/act2/lurker.txt", "Cap:0.5\nCap:-\n", item("Cap", {true, false, true}),
         "Hell/act2/lurker.txt:2:Cap:-"},
        {"Hell/monsterlist.txt", "", item("Cap", allDifficulties()),
         "Nightmare/monsterlist.txt:0:"},
        {"unilist.txt", "Tinker's Cap,Cap:5z\n", uniqueItem("Tinker's Cap"),
         "unilist.txt:1:Tinker's Cap,Cap:5z"},
        {"Normal/levels.txt", "Bat:1\nCave Lurker:3x\n", uniqueItem("Tinker's Cap"),
         "Normal/levels.txt:2:Cave Lurker:3x"},
        {"unilist.txt", "Coil,Ring:05,z\n", uniqueMonster("Cave Lurker"),
         "unilist.txt:1:Coil,Ring:05,z"},
        // A computation error: the drop-table line whose chance was worked out.
        {"", "", uniqueMonster("Cave Lurker", "-100"), "Normal/lurker.txt:1:Cap:0.5"},
        {"", "", uniqueItem("Tinker's Cap", "-100"), "Normal/lurker.txt:1:Cap:0.5"},
        {"itemlist.txt", "Ring,1\n", setItem("Ashen", "Ashen Cap"), "Normal/lurker.txt:1:Cap:0.5"},
        // A table named again: the second monster line replays the first's walk.
        // Bat (no level line) passes over the caps; Cave Lurker takes them.
        {"Normal/monsterlist.txt", "Bat:lurker.txt,1\nCave Lurker:lurker.txt,1\n",
         uniqueItem("Tinker's Cap", "-100"), "Normal/lurker.txt:1:Cap:0.5"},
        {"Normal/lurker.txt", "-\nRing:0.1\n-\nCap:x\n", uniqueItem("Tinker's Cap"),
         "Normal/lurker.txt:4:Cap:x"},
        {"Normal/lurker.txt", "Cap:0.5\nRing:y\n", item("Ring"), "Normal/lurker.txt:2:Ring:y"},
        {"setlist.txt", ":Ashen,05\nAshen Cap,Cap,w\n", setItem("Ashen", "Ashen Cap"),
         "setlist.txt:2:Ashen Cap,Cap,w"},
        {"setlist.txt", ":Ashen,05\nAshen Cap,Cap,3\n:Iron,xx\n", setMonster("Cave Lurker"),
         "setlist.txt:3::Iron,xx"},
        {"Normal/levels.txt", "Cave Lurker:30,x\n", setMonster("Cave Lurker"),
         "Normal/levels.txt:1:Cave Lurker:30,x"},
        // The magic-find text is no file's.
        {"", "", setMonster("Cave Lurker", "lots"), "nowhere"},
        {"", "", uniqueItem("Tinker's Cap", "lots"), "nowhere"},
    };
    for (const auto& c : cases) {
        MemoryFileSource files = baseData();
        if (*c.file != '\0')
            files.set(c.file, c.bytes);
        const SearchOutcome out = runSearch([&](ResultList& l) { return c.run(files, l); });
        EXPECT_EQ(where(out), c.where) << c.file << " " << c.bytes << " " << out.error;
    }
}

TEST(ErrorLocation, OpenAndReadErrorsOfTheStartUpReaders) {
    using Read = std::function<void(FileSource&)>;
    std::vector<std::string> names;
    SetItemChoice choice;
    const struct {
        const char* path;
        Read read;
    } cases[] = {
        {"itemlist.txt", [&](FileSource& f) { readItemNames(f, names); }},
        {"unilist.txt", [&](FileSource& f) { readUniqueNames(f, names); }},
        {"setlist.txt", [&](FileSource& f) { readBaseSetNames(f, names); }},
        {"setlist.txt", [&](FileSource& f) { chooseBaseSet(f, "Ashen", choice); }},
        {"Normal/monsterlist.txt", [&](FileSource& f) { readMonsterNames(f, names); }},
        {"Normal/levels.txt",
         [&](FileSource& f) {
             MemoryResultList list;
             uniqueMonsterSearch({f}, list, "Bat", Difficulty::Normal, "0");
         }},
    };
    for (const auto& c : cases) {
        MemoryFileSource files = baseData();
        FailingRead failing(files, c.path);
        SearchOutcome out = runSearch([&](ResultList&) { c.read(failing); });
        EXPECT_EQ(out.error, "I/O error 5") << c.path;
        EXPECT_EQ(where(out), std::string(c.path) + ":0:") << c.path;
        MemoryFileSource empty;
        out = runSearch([&](ResultList&) { c.read(empty); });
        EXPECT_NE(out.error, "") << c.path;
        EXPECT_EQ(where(out), std::string(c.path) + ":0:") << c.path;
    }
}

TEST(SearchNote, WhyNothingWasFound) {
    const struct {
        SearchRun run;
        std::string note;
        // The names offered, and the input of the search they go into.
        std::vector<std::string> offered = {};
        std::size_t input = 0;
    } cases[] = {
        {monster("Cave Lurker"), ""},
        {monster("cave lurker"),
         "no monster named \"cave lurker\" in Normal/monsterlist.txt; did you mean \"Cave "
         "Lurker\"?",
         {"Cave Lurker"}},
        {setMonster("CAVE LURKER", "0", Difficulty::Hell),
         "no monster named \"CAVE LURKER\" in Hell/monsterlist.txt; did you mean \"Cave "
         "Lurker\"?",
         {"Cave Lurker"}},
        {monster("Cave Lurkr"),
         "no monster named \"Cave Lurkr\" in Normal/monsterlist.txt; did you mean \"Cave "
         "Lurker\"?",
         {"Cave Lurker"}},
        {item("Rign"), "no drop table of Normal names \"Rign\"; did you mean \"Ring\"?", {"Ring"}},
        {setMonster(std::string(201, 'x')), "no monster named \"" + std::string(200, 'x') +
                                                "\xE2\x80\xA6\" in "
                                                "Normal/monsterlist.txt"},
        // The monster search cuts no name of 30 characters or more.
        {monster(std::string(201, 'x')), "no monster named \"" + std::string(200, 'x') +
                                             "\xE2\x80\xA6\" can be found: the monster list gives "
                                             "no name of 30 characters or more"},
        {uniqueItem("coil"),
         "no unique item named \"coil\" in unilist.txt; did you mean \"Coil\"?",
         {"Coil"}},
        {item("ring"), "no drop table of Normal names \"ring\"; did you mean \"Ring\"?", {"Ring"}},
        {item("Ring", {}), "no difficulty is chosen"},
        {uniqueItem("Coil", "0", {}), "no difficulty is chosen"},
        {setItem("Ashen", "Ashen Cap", "0", {}), "no difficulty is chosen"},
        // Entries at set level 0, and the note that says why.
        {setItem("ashen", "Ashen Cap"),
         "set item \"Ashen Cap\" is in base set \"Ashen\", not in base set \"ashen\"; did you "
         "mean \"Ashen\"?",
         {"Ashen"}},
        {setItem("ashen", "Other Cap"),
         "no base set named \"ashen\" in setlist.txt; did you mean \"Ashen\"?",
         {"Ashen"}},
        {setItem("Ashen", "ashen cap"),
         "no set item named \"ashen cap\" in base set \"Ashen\" in setlist.txt; did you mean "
         "\"Ashen Cap\"?",
         {"Ashen Cap"},
         1},
        // A set item of another base set, or of none chosen, offers its own.
        {setItem("", "Ashen Cap"),
         "set item \"Ashen Cap\" is in base set \"Ashen\", and no base set is chosen; did "
         "you mean \"Ashen\"?",
         {"Ashen"}},
        {setItem("Iron", "Ashen Cap"),
         "set item \"Ashen Cap\" is in base set \"Ashen\", not in base set \"Iron\"; did you "
         "mean \"Ashen\"?",
         {"Ashen"}},
        {uniqueMonster("Bat", "0", Difficulty::Hell),
         "no monster named \"Bat\" in Hell/monsterlist.txt"},
        {setMonster("Bat"), "no monster named \"Bat\" in Normal/monsterlist.txt"},
        {uniqueItem("Frost Band"), "no unique item named \"Frost Band\" in unilist.txt"},
        {uniqueItem("Coil"), ""},
        {setItem("Iron", "Iron Cap"), "no base set named \"Iron\" in setlist.txt"},
        {setItem("Ashen", "Ashen Ring"),
         "no set item named \"Ashen Ring\" in base set \"Ashen\" in setlist.txt"},
        {setItem("Ashen", "Ashen Cap"), ""},
        {item("Sword", {true, false, true}), "no drop table of Normal, Hell names \"Sword\""},
        {item("Ring", {false, false, true}), "no drop table of Hell names \"Ring\""},
        {item("Ring", {true, false, true}), ""},
        // An empty name looked up gives no note.
        {monster(""), ""},
        {setMonster(""), ""},
        {item(""), ""},
        {uniqueItem(""), ""},
        {setItem("", ""), ""},
        {setItem("Ashen", ""), ""},
    };
    for (const auto& c : cases) {
        MemoryFileSource files = baseData();
        const SearchOutcome out = runSearch([&](ResultList& l) { return c.run(files, l); });
        EXPECT_EQ(out.error, "");
        EXPECT_EQ(out.note.text, c.note);
        EXPECT_EQ(out.note.suggestions, c.offered) << c.note;
        if (!c.offered.empty()) {
            EXPECT_EQ(out.note.input, c.input) << c.note;
        }
    }
}

TEST(SearchNote, SimilarNamesDifferInCaseEncodingOrAnEditOrTwo) {
    using Names = std::vector<std::string>;
    const struct {
        std::string name;
        Names listed;
        Names similar;
    } cases[] = {
        {"ring", {"Cap", "Ring"}, {"Ring"}},
        {"zeal hound", {"Zeal Hounds", "Zeal Hound"}, {"Zeal Hound", "Zeal Hounds"}},
        {"RING", {"Rings", "ring", "Ring"}, {"ring", "Ring", "Rings"}}, // nearest first
        {"Ring", {"ring", "Ring"}, {}},                                 // listed as it is
        {"ring", {"Rings", "rin", "Rang", "Ringss"}, {"Rings", "rin", "Rang"}},
        {"Cave Lurkr", {"Cave Lurker", "Cave Lurk", "Lurker"}, {"Cave Lurker", "Cave Lurk"}},
        {"Cvae Lurker", {"Cave Lurker"}, {"Cave Lurker"}}, // two neighbours swapped
        {"Cave Lurker", {"Cave", "Cave Lurkersss"}, {}},   // three edits: too far
        {"Bta", {"Bat", "Rat"}, {"Bat"}},                  // one edit for a short name
        {"Ba", {"Bat", "Ca"}, {}},                         // none below three characters
        {"abcdef", {"axcdex", "abcd", "abcdefg", "abc"}, {"abcdefg", "axcdex", "abcd"}},
        {"B\xC3\xA4r", {"B\xE4r"}, {"B\xE4r"}},                   // UTF-8 against single-byte
        {"b\xC4r", {"B\xC3\xA4r"}, {"B\xC3\xA4r"}},               // and with another case
        {"\xD7", {"\xF7"}, {}},                                   // signs, not letters
        {"\xC3\xA4", {"\xC3\x84", "\xE4"}, {"\xC3\x84", "\xE4"}}, // both are listed ways
        {"Caf\xE9", {"CAF\xC9"}, {"CAF\xC9"}},
        {"x\xC3", {"X\xE3"}, {"X\xE3"}},        // cut UTF-8 is single-byte text
        {"B\xC3\xA4ren", {"Baren"}, {"Baren"}}, // one edit of a decoded character
    };
    for (const auto& c : cases) {
        EXPECT_EQ(similarNames(c.name, c.listed), c.similar) << c.name;
    }
}

TEST(SearchNote, SuggestionsEndTheSentence) {
    using Names = std::vector<std::string>;
    const struct {
        Names names;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{"A"}, "; did you mean \"A\"?"},
        {{"A", "B"}, "; did you mean \"A\" or \"B\"?"},
        {{"A", "B", "C"}, "; did you mean \"A\", \"B\" or \"C\"?"},
        {{"Say \"Hi\"", "x"}, "; did you mean \"Say \"Hi\"\" or \"x\"?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(suggestionText(c.names), c.text);
    }
}
