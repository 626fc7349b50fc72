#include "data/difficulty.h"
#include "data/encoding.h"
#include "results/answer.h"
#include "results/entry.h"
#include "results/showntext.h"
#include "search/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using qdc::DifficultySet;
using qdc::MemoryFileSource;
using qdc::SortMode;

namespace {

// A folder whose names hold "=", commas, quotes and windows-1252 bytes.
MemoryFileSource awkwardFolder() {
    return MemoryFileSource{
        {"Normal/monsterlist.txt", "Cave Lurker:lurker.txt,1\nA=B:ab.txt,1\n"},
        {"Nightmare/monsterlist.txt", "Cave Lurker:lurker.txt,2\n"},
        {"Normal/lurker.txt", "Ring:0.5\nM\xfcnze, \"alt\":0.25\nC=D:0.00001\nGold:0.2\n"},
        {"Nightmare/lurker.txt", "Ring:0.5\n"},
        {"Normal/ab.txt", "Ring:0.255\n"}};
}

} // namespace

// Every byte shows as windows-1252 in a text that is not UTF-8, and a text
// typed in the player's own script comes back as the same bytes.
TEST(ShownText, EveryByteRoundTrips) {
    const std::map<unsigned, std::string> special = {
        {0x80, "\u20ac"}, {0x81, "\u0081"}, {0x8A, "\u0160"}, {0x8D, "\u008d"}, {0x9F, "\u0178"},
        {0xA0, "\u00a0"}, {0xE9, "\u00e9"}, {0xFF, "\u00ff"}, {0x41, "A"}};
    for (unsigned byte = 0; byte < 256; ++byte) {
        // A trailing 0xFF keeps every text away from UTF-8.
        const std::string bytes{static_cast<char>(byte), '\xff'};
        const std::string shown = qdc::shownText(bytes);
        if (const auto it = special.find(byte); it != special.end()) {
            EXPECT_EQ(shown, it->second + "\u00ff") << byte;
        }
        EXPECT_EQ(qdc::dataBytes(shown, false), bytes) << byte;
    }
    const struct {
        std::string bytes;
        std::string shown;
    } rows[] = {
        {"M\xc3\xbcnze", "M\xc3\xbcnze"},       // UTF-8 stays
        {"M\xfcnze", "M\xc3\xbcnze"},           // windows-1252
        {"\x80\xe2\x80\xa6", "\u20ac\u2026"},   // a cut's "…" stays
        {"\xed\xa0\x80", "\u00ed\u00a0\u20ac"}, // a surrogate is no UTF-8
    };
    for (const auto& row : rows)
        EXPECT_EQ(qdc::shownText(row.bytes), row.shown) << row.bytes;
    EXPECT_EQ(qdc::dataBytes("\u20ac \u4e00", false), "\x80 ?");
    EXPECT_EQ(qdc::dataBytes("\u20ac", true), "\u20ac");
}

// The parts as the search made them, in every order and with either
// separator: a name holding "=" stays whole.
TEST(EntryParts, RecordedByTheSearch) {
    MemoryFileSource files = awkwardFolder();
    for (const SortMode mode : {SortMode::NameFirst, SortMode::ChanceFirst, SortMode::Highest}) {
        for (const char sep : {'.', ','}) {
            qdc::MemoryResultList list;
            const qdc::SearchEnv env{files, sep, mode};
            qdc::itemSearch(env, list, "Ring", DifficultySet{true, true, false});
            ASSERT_EQ(list.count(), 3);
            std::map<std::string, const qdc::EntryParts*> byName;
            for (const qdc::EntryParts& parts : list.allParts())
                byName[parts.name] = &parts;
            const qdc::EntryParts& ab = *byName.at("A=B");
            EXPECT_EQ(ab.chance, sep == '.' ? "25.5" : "25,5");
            EXPECT_EQ(ab.difficulty, "Normal");
            EXPECT_EQ(ab.odds.oneIn, 4);
            const qdc::EntryParts& nm = *byName.at("Cave Lurker (Nm)");
            EXPECT_EQ(nm.plainName(), "Cave Lurker");
            EXPECT_EQ(nm.difficulty, "Nightmare");
            EXPECT_EQ(nm.chance, "75");
            EXPECT_EQ(nm.value, 75.0);
        }
    }
    qdc::MemoryResultList list;
    const qdc::SearchEnv env{files, ',', SortMode::NameFirst};
    qdc::monsterSearch(env, list, "Cave Lurker", qdc::Difficulty::Normal);
    EXPECT_EQ(list.parts(0).name, "C=D");
    EXPECT_EQ(list.parts(0).chance, "0,001");
    EXPECT_EQ(list.parts(0).value, 0.001);
    EXPECT_EQ(list.parts(0).odds.kills90, 230258);
}

TEST(EntriesCsv, MatchesGoldenFile) {
    MemoryFileSource files = awkwardFolder();
    std::string csv;
    for (const SortMode mode : {SortMode::NameFirst, SortMode::Highest}) {
        qdc::MemoryResultList list;
        qdc::itemSearch({files, ',', mode}, list, "Ring", DifficultySet{true, true, false});
        csv += qdc::entriesCsv(list);
        qdc::monsterSearch({files, '.', mode}, list, "Cave Lurker", qdc::Difficulty::Normal);
        csv += qdc::entriesCsv(list);
    }
    std::ifstream golden(DROPCALC_GOLDEN_DIR "/entries.csv", std::ios::binary);
    std::stringstream expected;
    expected << golden.rdbuf();
    EXPECT_EQ(csv, expected.str());
}

TEST(ErrorDescription, SaysWhereAndWhatToDo) {
    qdc::DropError located("'0.o8' is not a valid floating point value");
    located.locate({"Normal/drake.txt", 3, "Gold:0.o8"});
    qdc::DropError missing("Invalid filename");
    missing.locate({"Normal/rat.txt", 0, ""});
    missing.setNamedBy({"Normal/monsterlist.txt", 2, "Tunnel Rat:rat.txt,1"});
    qdc::DropError folder("Invalid filename", "No such file or directory");
    folder.locate({"/home/p/datx", 0, ""});
    const struct {
        const qdc::DropError* error;
        bool hasNormal;
        std::string hint;
        std::string stopped;
    } rows[] = {
        {&located, true, "Correct the file, then press Reload.",
         "Stopped by an error in Normal/drake.txt, line 3: the list holds only the entries found "
         "before it."},
        {&missing, true, "Check that the file is there, then press Reload.",
         "Stopped by an error in Normal/rat.txt: the list holds only the entries found before "
         "it."},
        {&folder, false, "The data folder has no \"Normal\" folder: open the data folder itself.",
         "Stopped by an error in /home/p/datx: the list holds only the entries found before it."},
    };
    for (const auto& row : rows) {
        const qdc::ErrorDescription d =
            qdc::describeError(*row.error, "/home/p/datx", row.hasNormal);
        EXPECT_EQ(d.hint, row.hint);
        EXPECT_EQ(qdc::stoppedNote(d), row.stopped);
    }
    const qdc::ErrorDescription l = qdc::describeError(located, ".", true);
    EXPECT_EQ(l.message, "'0.o8' is not a valid floating point value.");
    EXPECT_EQ(l.text, "Gold:0.o8");
    EXPECT_EQ(qdc::describeError(missing, ".", true).namedBy->line, 2);
    EXPECT_TRUE(qdc::describeError(folder, "/home/p/datx", false).dataFolderItself);
}

TEST(SearchCatalogue, HeadingsAndRuns) {
    MemoryFileSource files = awkwardFolder();
    const struct {
        const char* command;
        qdc::SearchRequest request;
        int entries;
        std::string heading;
    } rows[] = {
        {"monster",
         {{"Cave Lurker"}, {false, true, true}, "0"},
         1,
         "Cave Lurker \u00b7 Nightmare \u00b7 1 entry"},
        {"item",
         {{"Ring"}, {true, true, false}, "0"},
         3,
         "Ring \u00b7 Normal, Nightmare \u00b7 3 entries"},
        {"set-item",
         {{"Base", "M\xfcnze"}, {}, "50"},
         0,
         "M\u00fcnze \u00b7 magic find 50 \u00b7 0 entries"},
    };
    for (const auto& row : rows) {
        const qdc::SearchKind* search = qdc::findSearch(row.command);
        ASSERT_NE(search, nullptr) << row.command;
        qdc::MemoryResultList list;
        if (std::string(row.command) != "set-item")
            search->run({files, '.', SortMode::ChanceFirst}, list, row.request);
        EXPECT_EQ(list.count(), row.entries) << row.command;
        EXPECT_EQ(qdc::answerHeading(*search, row.request, list.count()), row.heading);
    }
    EXPECT_EQ(qdc::findSearch("mf"), nullptr);
    EXPECT_EQ(qdc::searchCatalogue().size(), 6U);
}

TEST(ListsAreUtf8, DecidesHowTypedNamesGoBack) {
    const struct {
        const char* list;
        bool utf8;
    } rows[] = {{"Cave Lurker:l.txt,1\n", false},
                {"M\xc3\xbcnzwart:l.txt,1\n", true},
                {"M\xfcnzwart:l.txt,1\n", false}};
    for (const auto& row : rows) {
        MemoryFileSource files{{"Normal/monsterlist.txt", row.list}, {"itemlist.txt", "Ring,1\n"}};
        EXPECT_EQ(qdc::listsAreUtf8(files), row.utf8) << row.list;
    }
}

// The item separator command rewrites every entry and sorts them again: each
// keeps its parts, a name holding "=" whole.
TEST(EntryParts, KeptThroughTheItemSeparatorCommand) {
    MemoryFileSource files = awkwardFolder();
    for (const SortMode mode : {SortMode::NameFirst, SortMode::ChanceFirst, SortMode::Highest}) {
        qdc::MemoryResultList list;
        qdc::itemSearch({files, '.', mode}, list, "Ring", DifficultySet{true, true, false});
        std::vector<std::string> before;
        for (const qdc::EntryParts& p : list.allParts())
            before.push_back(p.name + "|" + p.chance + "|" + p.difficulty);
        qdc::widenSeparators(list);
        std::vector<std::string> after;
        for (int i = 0; i < list.count(); ++i) {
            const qdc::EntryParts& p = list.parts(i);
            EXPECT_EQ(list.at(i).find('='), std::string::npos);
            // The text is the entry's own, widened.
            EXPECT_NE(list.at(i).find(p.chance), std::string::npos) << list.at(i);
            after.push_back(p.name + "|" + p.chance + "|" + p.difficulty);
        }
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);
        EXPECT_NE(std::find(after.begin(), after.end(), "A=B|25.5|Normal"), after.end());
    }
}

// A data folder opened at the wrong place has no "Normal" folder.
TEST(DataFolder, HasTheNormalFolder) {
    const struct {
        MemoryFileSource files;
        bool normal;
    } rows[] = {
        {{{"Normal/monsterlist.txt", "Rat:rat.txt,1\n"}}, true},
        {{{"Normal/levels.txt", "Rat:1\n"}}, true}, // its monster list missing
        {{{"Hell/monsterlist.txt", "Rat:rat.txt,1\n"}}, false},
        {{{"monsterlist.txt", "Rat:rat.txt,1\n"}}, false},
    };
    for (const auto& row : rows) {
        MemoryFileSource files = row.files;
        EXPECT_EQ(qdc::hasDifficultyFolder(files, qdc::Difficulty::Normal), row.normal)
            << files.paths().front();
    }
}

// A name chosen from a box goes back as its own bytes, also where the lists
// mix encodings; any other text by the folder's encoding.
TEST(NameBook, ListedNamesKeepTheirBytes) {
    MemoryFileSource files{
        {"Normal/monsterlist.txt", "W\xc3\xbchler:w.txt,1\nM\xfcnzwart:m.txt,1\n"},
        {"setlist.txt", ":Gl\xfc"
                        "ck,1\nGl\xc3\xbc"
                        "ck Band,Ring,1\n"}};
    const qdc::NameBook book = qdc::readNameBook(files);
    EXPECT_FALSE(book.utf8Folder());
    const struct {
        std::string typed;
        std::string bytes;
    } rows[] = {{"W\u00fchler", "W\xc3\xbchler"},
                {"M\u00fcnzwart", "M\xfcnzwart"},
                {"Gl\u00fcck Band", "Gl\xc3\xbc"
                                    "ck Band"},
                {"Gl\u00fcck", "Gl\xfc"
                               "ck"},
                {"\u00dcbel", "\xdc"
                              "bel"},
                {"Rat", "Rat"}};
    for (const auto& row : rows)
        EXPECT_EQ(book.bytesOf(row.typed), row.bytes) << row.typed;
}
