#include "cli_helpers.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Marks a file of the sound data set that a case leaves out.
const std::string kAbsent = "\x01";

// Sound data: 12 files, nothing to report.
std::map<std::string, std::string> soundData() {
    std::map<std::string, std::string> files = {
        {"itemlist.txt", "Cap,0\nRing,1\n"},
        {"unilist.txt", "Band of Ash,Ring:05,2\n"},
        {"setlist.txt", ":Vigil,3\nVigil Cap,Cap,2\n"},
    };
    for (const char* d : {"Normal", "Nightmare", "Hell"}) {
        files[std::string(d) + "/monsterlist.txt"] = "Rat:rat.txt,1\n";
        files[std::string(d) + "/levels.txt"] = "Rat:10\n";
        files[std::string(d) + "/rat.txt"] = "Nothing:0.5\nCap:0.3\nRing:0.2\n";
    }
    return files;
}

struct CheckCase {
    const char* what;
    std::map<std::string, std::string> changes;
    std::string expected; // stdout of `check`, summary included
};

const std::string kNoFlagRing = ": error: Floating point division by zero. (base item \"Ring\" "
                                "has no quality flag)\n";

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

const std::vector<CheckCase> kCases = {
    {"sound data", {}, "0 errors, 0 warnings in 12 files\n"},
    {"a drop table named through \".\"",
     {{"Normal/monsterlist.txt", "Rat:.\\rat.txt,1\n"}},
     "0 errors, 0 warnings in 12 files\n"},
    {"chance that does not convert",
     {{"Normal/rat.txt", "Nothing:0.5\nCap:0.o3\nRing:0.2\n"}},
     "Normal/rat.txt:2: error: '0.o3' is not a valid floating point value.\n"
     "1 errors, 0 warnings in 12 files\n"},
    {"every fault of a file, not just the first",
     {{"Hell/rat.txt", "Nothing:x\nCap:y\n-\nRing:z\n"}},
     "Hell/rat.txt:1: error: 'x' is not a valid floating point value.\n"
     "Hell/rat.txt:2: error: 'y' is not a valid floating point value.\n"
     "Hell/rat.txt:4: error: 'z' is not a valid floating point value.\n"
     "3 errors, 0 warnings in 12 files\n"},
    {"missing drop table, monster without level",
     {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nBat:bat.txt,2\n"}},
     "Normal/bat.txt: error: File not found. (named by Normal/monsterlist.txt:2)\n"
     "Normal/monsterlist.txt:2: warning: monster \"Bat\" has no level line in "
     "Normal/levels.txt\n"
     "Normal/monsterlist.txt:2: warning: monster \"Bat\" is not in Nightmare/monsterlist.txt nor "
     "Hell/monsterlist.txt\n"
     "1 errors, 2 warnings in 13 files\n"},
    {"picks and blank monster line",
     {{"Nightmare/monsterlist.txt", "Rat:rat.txt,x\n\n"}},
     "Nightmare/monsterlist.txt:1: error: 'x' is not a valid integer value.\n"
     "Nightmare/monsterlist.txt:2: error: '' is not a valid integer value.\n"
     "Nightmare/monsterlist.txt:2: warning: blank line: every search that reads the whole "
     "monster list stops here with '' is not a valid integer value.\n"
     "Nightmare/rat.txt: warning: no monster list names this file\n"
     "2 errors, 2 warnings in 11 files\n"},
    {"missing monster list",
     {{"Hell/monsterlist.txt", kAbsent}},
     "Hell/monsterlist.txt: error: File not found.\n"
     "Hell/rat.txt: warning: no monster list names this file\n"
     "1 errors, 1 warnings in 11 files\n"},
    // The set searches take the last three characters as the reduction, the
    // unique searches up to three after the ",".
    {"levels: bad line, second line of a name, short reduction",
     {{"Normal/levels.txt", "Rat:1o\nRat:12,y05\nMole:3,07\n"}},
     "Normal/levels.txt:1: error: '1o' is not a valid integer value.\n"
     "Normal/levels.txt:2: warning: monster \"Rat\" has a level line already (line 1)\n"
     "Normal/levels.txt:2: error: 'y05' is not a valid integer value.\n"
     "Normal/levels.txt:3: error: ',07' is not a valid integer value.\n"
     "3 errors, 1 warnings in 12 files\n"},
    {"unique level and ring weight",
     {{"unilist.txt", "Band of Ash,Ring:0x,2\nBand of Dust,Ring:07,w\nBand of Ash,Cap:03\n"}},
     "unilist.txt:1: error: '0x' is not a valid integer value.\n"
     "unilist.txt:2: error: 'w' is not a valid integer value.\n"
     "unilist.txt:3: warning: unique \"Band of Ash\" is listed twice (first at line 1)\n"
     "2 errors, 1 warnings in 12 files\n"},
    {"set level, weights, item before any set",
     {{"setlist.txt", "Stray,Cap,1\n:Vigil,three\nVigil Cap,Cap,\nVigil Ring,Ring,$F\n"}},
     "setlist.txt:1: warning: set item before the first base set\n"
     "setlist.txt:2: error: 'three' is not a valid integer value.\n"
     "setlist.txt:3: error: '' is not a valid integer value.\n"
     "setlist.txt:3: error: ',' is not a valid integer value.\n"
     "setlist.txt:4: error: 'F' is not a valid integer value.\n"
     "4 errors, 1 warnings in 12 files\n"},
    {"base item without quality flag",
     {{"itemlist.txt", "Cap,0\nRing,2\n"}},
     "Hell/rat.txt:3" + kNoFlagRing + "Nightmare/rat.txt:3" + kNoFlagRing + "Normal/rat.txt:3" +
         kNoFlagRing +
         "itemlist.txt:2: warning: item \"Ring\" has no quality flag (\",0\" or \",1\" at the "
         "end)\n"
         "3 errors, 1 warnings in 12 files\n"},
    {"set weight 0 below the levels where the weight table takes over",
     {{"setlist.txt", ":Vigil,3\nVigil Cap,Cap,2\nVigil Ring,Ring,0\n"},
      {"Hell/levels.txt", "Rat:16\n"}},
     "Nightmare/rat.txt:3: error: Invalid floating point operation. (a set item of \"Ring\" has "
     "a weight of 0)\n"
     "Normal/rat.txt:3: error: Invalid floating point operation. (a set item of \"Ring\" has a "
     "weight of 0)\n"
     "2 errors, 0 warnings in 12 files\n"},
    {"chances out of range and far from 1",
     {{"Normal/rat.txt", "Nothing:0.5\nCap:1.3\nRing:-0.2\n-\nRing:0.1\n"}},
     "Normal/rat.txt:1: warning: the chances of one pick add up to 1.6, not 1\n"
     "Normal/rat.txt:2: warning: chance \"1.3\" is outside 0..1\n"
     "Normal/rat.txt:3: warning: chance \"-0.2\" is outside 0..1\n"
     "0 errors, 3 warnings in 12 files\n"},
    {"names: twice, blanks, unknown base item, no comma",
     {{"itemlist.txt", "Cap,0\nRing,1\nCap,1\n Belt ,0\nBoots\n"},
      {"setlist.txt", ":Vigil,3\nVigil Cap,Cap,2\nVigil Belt,Belt,2\n"}},
     "itemlist.txt:3: warning: item \"Cap\" is listed twice (first at line 1)\n"
     "itemlist.txt:4: warning: item name \" Belt \" has leading or trailing blanks\n"
     "itemlist.txt:5: warning: line \"Boots\" has no \",\": its item name is empty\n"
     "setlist.txt:3: warning: base item \"Belt\" of set item \"Vigil Belt\" is not in "
     "itemlist.txt\n"
     "0 errors, 4 warnings in 12 files\n"},
    {"one drop table for two monsters, a file nothing names",
     {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nMole:rat.txt,1\n"},
      {"Normal/levels.txt", "Rat:10\nMole:4\n"},
      {"Normal/old/rat.txt", "Gold:1\n"}},
     "Normal/monsterlist.txt:2: warning: drop table \"rat.txt\" is named by two monsters\n"
     "Normal/monsterlist.txt:2: warning: monster \"Mole\" is not in Nightmare/monsterlist.txt "
     "nor Hell/monsterlist.txt\n"
     "Normal/old/rat.txt: warning: no monster list names this file\n"
     "0 errors, 3 warnings in 12 files\n"},
    // The monster search also cuts a line at a later ":" among its first 30
    // characters, and reads the drop table named after it.
    {"monster line with a second colon",
     {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nOld:Bat:bat.txt,1\n"},
      {"Normal/levels.txt", "Rat:10\nOld:3\n"},
      {"Normal/bat.txt", "Cap:1.5\n"}},
     "Normal/Bat:bat.txt: error: File not found. (named by Normal/monsterlist.txt:2)\n"
     "Normal/bat.txt:1: warning: chance \"1.5\" is outside 0..1\n"
     "Normal/bat.txt:1: warning: the chances of one pick add up to 1.5, not 1\n"
     "Normal/monsterlist.txt:2: warning: monster \"Old\" is not in Nightmare/monsterlist.txt nor "
     "Hell/monsterlist.txt\n"
     "1 errors, 3 warnings in 14 files\n"},
    {"drop table with CR LF line ends",
     {{"Normal/rat.txt", "Nothing:0.5\r\nCap:0.o3\r\nRing:0.2\r\n"}},
     "Normal/rat.txt:2: error: '0.o3' is not a valid floating point value.\n"
     "1 errors, 0 warnings in 12 files\n"},
    // What only follows from a missing list file is counted on it.
    {"no itemlist.txt",
     {{"itemlist.txt", kAbsent}},
     "itemlist.txt: error: File not found. (6 search errors follow from this)\n"
     "1 errors, 0 warnings in 12 files\n"},
    {"a second name with an empty drop-table name",
     {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nVyk:gysk2.txt:5\n"},
      {"Normal/levels.txt", "Rat:10\nVyk:3\n"}},
     "Normal/gysk2.txt: error: File not found. (named by Normal/monsterlist.txt:2)\n"
     "Normal/monsterlist.txt:2: error: File access denied. (the line's second name "
     "\"Vyk:gysk2.txt\" has an empty drop-table name)\n"
     "Normal/monsterlist.txt:2: warning: monster \"Vyk\" is not in Nightmare/monsterlist.txt nor "
     "Hell/monsterlist.txt\n"
     "2 errors, 1 warnings in 13 files\n"},
    // A name after a later ":" is the monster search's alone.
    {"two colons and one table",
     {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nA:B:rat.txt,1\nC:rat.txt,1\n"},
      {"Normal/levels.txt", "Rat:10\nA:1\nC:1\n"}},
     "Normal/B:rat.txt: error: File not found. (named by Normal/monsterlist.txt:2)\n"
     "Normal/monsterlist.txt:2: warning: monster \"A\" is not in Nightmare/monsterlist.txt nor "
     "Hell/monsterlist.txt\n"
     "Normal/monsterlist.txt:3: warning: drop table \"rat.txt\" is named by two monsters\n"
     "Normal/monsterlist.txt:3: warning: monster \"C\" is not in Nightmare/monsterlist.txt nor "
     "Hell/monsterlist.txt\n"
     "1 errors, 3 warnings in 13 files\n"},
    {"a long monster name, a merged total past 100 %",
     {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nA Monster Name Of Thirty Chars:rat.txt,1\n"},
      {"Normal/levels.txt", "Rat:10\nA Monster Name Of Thirty Chars:4\n"},
      {"Normal/rat.txt", "Cap:0.5\nRing:0.5\n-\nCap:0.6\n"}},
     "Normal/monsterlist.txt:2: warning: monster name \"A Monster Name Of Thirty Chars\" has "
     "30 characters or more: the window does not offer it and the monster search cannot find "
     "it\n"
     "Normal/monsterlist.txt:2: warning: drop table \"rat.txt\" is named by two monsters\n"
     "Normal/monsterlist.txt:2: warning: monster \"A Monster Name Of Thirty Chars\" is not in "
     "Nightmare/monsterlist.txt nor Hell/monsterlist.txt\n"
     "Normal/rat.txt:4: warning: item \"Cap\" adds up to 110 % in this drop table once merged\n"
     "0 errors, 4 warnings in 12 files\n"},
    // Lines before the "-" count in the total, and an item is told once.
    {"a merged total already past 100 % at the dash",
     {{"Normal/rat.txt", "Cap:0.7\nCap:0.6\n-\nCap:0.1\nCap:0.1\nRing:0.2\n"}},
     "Normal/rat.txt:1: warning: the chances of one pick add up to 1.3, not 1\n"
     "Normal/rat.txt:4: warning: item \"Cap\" adds up to 140 % in this drop table once merged\n"
     "0 errors, 2 warnings in 12 files\n"},
    // Past the lines kept for the merged totals, the table is walked again.
    {"the same past 5,000 lines",
     {{"Normal/rat.txt",
       "Cap:0.7\nCap:0.6\n" + repeated("Gold:0\n", 5000) + "-\nCap:0.1\nCap:0.1\nRing:0.2\n"}},
     "Normal/rat.txt:1: warning: the chances of one pick add up to 1.3, not 1\n"
     "Normal/rat.txt:3: warning: item \"Gold\" is in no list\n"
     "Normal/rat.txt:5004: warning: item \"Cap\" adds up to 140 % in this drop table once "
     "merged\n"
     "0 errors, 3 warnings in 12 files\n"},
    {"one file Latin-1 in a UTF-8 folder",
     {{"itemlist.txt", "Cap,0\nRing,1\nCr\xc3\xa2ne,0\n"},
      {"unilist.txt", "Band of Ash,Ring:05,2\nB\xe2ton,Cap:01\n"}},
     "unilist.txt: warning: this file is not UTF-8 while other files of the folder are: its "
     "names will show wrongly\n"
     "0 errors, 1 warnings in 12 files\n"},
    {"a header that is no number, then a set item of weight 0",
     {{"setlist.txt", ":Vigil,three\nVigil Ring,Ring,0\n"}},
     "Hell/rat.txt:3: error: Invalid floating point operation. (a set item of \"Ring\" has a "
     "weight of 0)\n"
     "Nightmare/rat.txt:3: error: Invalid floating point operation. (a set item of \"Ring\" has "
     "a weight of 0)\n"
     "Normal/rat.txt:3: error: Invalid floating point operation. (a set item of \"Ring\" has a "
     "weight of 0)\n"
     "setlist.txt:1: error: 'three' is not a valid integer value.\n"
     "4 errors, 0 warnings in 12 files\n"},
    // The set item search reads the level of every line whose text from the
    // second character to the first "," is a base set.
    {"a set item named after a base set",
     {{"setlist.txt", ":Vigil,3\nVigil Cap,Cap,2\nXVigil,Ring,1\n"}},
     "setlist.txt:3: error: 'Ring,1' is not a valid integer value.\n"
     "1 errors, 0 warnings in 12 files\n"},
    {"a list file's name in a subfolder",
     {{"Normal/extra/levels.txt", "Rat:3\n"}},
     "Normal/extra/levels.txt: warning: no monster list names this file\n"
     "0 errors, 1 warnings in 12 files\n"},
    // Only a listed monster's later level lines are read.
    // A drop-table item is known by the item list (before its "," or without
    // its flag) and as a base item of the unique and set lists; each name is
    // told once a table.
    {"drop-table items no list knows, in another case, with blanks",
     {{"itemlist.txt", "Cap,0\nRing,1\nZeal Hound,0\n"},
      {"Normal/rat.txt", "Nothing:0.5\nCap:0.3\nAmber Shard:0.05\nring:0.05\nzeal hound:0.05\n"
                         "Cap :0.05\n-\nring:0.1\nAmber Shard:0.1\nRnig:0.1\n"},
      {"Normal/levels.txt", "Rat:10\n Mole:3\n"}},
     "Normal/levels.txt:2: warning: monster name \" Mole\" has leading or trailing blanks\n"
     "Normal/rat.txt:3: warning: item \"Amber Shard\" is in no list\n"
     "Normal/rat.txt:4: warning: item \"ring\" is in no list; did you mean \"Ring\"?\n"
     "Normal/rat.txt:5: warning: item \"zeal hound\" is in no list; did you mean \"Zeal Hound\"?\n"
     "Normal/rat.txt:6: warning: item name \"Cap \" has leading or trailing blanks\n"
     "Normal/rat.txt:10: warning: item \"Rnig\" is in no list; did you mean \"Ring\"?\n"
     "0 errors, 6 warnings in 12 files\n"},
    // Names of each length the lookup reads differently, and others of the
    // same lengths that differ from them in the middle.
    {"known and unknown names of 3, 5, 8 and 17 bytes",
     {{"itemlist.txt", "Cap,0\nRing,1\nABC,0\nABCDE,0\nABCDEFGH,0\nABCDEFGHIJKLMNOPQ,0\n"},
      {"Normal/rat.txt", "Nothing:0.6\nABC:0.05\nABCDE:0.05\nABCDEFGH:0.05\n"
                         "ABCDEFGHIJKLMNOPQ:0.05\nXYZ:0.05\nAXYZE:0.05\nABCXYZGH:0.05\n"
                         "ABCDEFGHIXYZMNOPQ:0.05\n"}},
     "Normal/rat.txt:6: warning: item \"XYZ\" is in no list\n"
     "Normal/rat.txt:7: warning: item \"AXYZE\" is in no list\n"
     "Normal/rat.txt:8: warning: item \"ABCXYZGH\" is in no list\n"
     "Normal/rat.txt:9: warning: item \"ABCDEFGHIXYZMNOPQ\" is in no list\n"
     "0 errors, 4 warnings in 12 files\n"},
    {"a monster in some difficulties' lists only",
     {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nBat:bat.txt,1\n"},
      {"Normal/levels.txt", "Rat:10\nBat:5\n"},
      {"Normal/bat.txt", "Nothing:1\n"},
      {"Hell/monsterlist.txt", "Bat:rat.txt,1\n"},
      {"Hell/levels.txt", "Bat:5\n"}},
     "Normal/monsterlist.txt:1: warning: monster \"Rat\" is not in Hell/monsterlist.txt\n"
     "Normal/monsterlist.txt:2: warning: monster \"Bat\" is not in Nightmare/monsterlist.txt\n"
     "0 errors, 2 warnings in 13 files\n"},
    {"a byte-order mark",
     {{"Normal/rat.txt", "\xEF\xBB\xBFNothing:0.5\nCap:0.3\nRing:0.2\n"}},
     "Normal/rat.txt:1: warning: the file begins with a byte-order mark (EF BB BF): the searches "
     "read it as part of the first line\n"
     "0 errors, 1 warnings in 12 files\n"},
    {"a byte-order mark before a monster's name",
     {{"Normal/monsterlist.txt", "\xEF\xBB\xBFRat:rat.txt,1\n"}},
     "Nightmare/monsterlist.txt:1: warning: monster \"Rat\" is not in Normal/monsterlist.txt\n"
     "Normal/monsterlist.txt:1: warning: the file begins with a byte-order mark (EF BB BF): the "
     "searches read it as part of the first line\n"
     "Normal/monsterlist.txt:1: warning: monster \"[EF BB BF]Rat\" has no level line in "
     "Normal/levels.txt\n"
     "Normal/monsterlist.txt:1: warning: monster \"[EF BB BF]Rat\" is not in "
     "Nightmare/monsterlist.txt nor Hell/monsterlist.txt\n"
     "0 errors, 4 warnings in 12 files\n"},
    // A line of a lone ":" is not blank.
    {"a blank line at the end of a drop table",
     {{"Normal/rat.txt", "Nothing:0.5\nCap:0.3\nRing:0.2\n\n"},
      {"Hell/rat.txt", "Nothing:0.5\nCap:0.3\nRing:0.2\n:\n"}},
     "Hell/rat.txt:4: error: '' is not a valid floating point value.\n"
     "Normal/rat.txt:4: error: '' is not a valid floating point value.\n"
     "Normal/rat.txt:4: warning: blank line: every search that reads this table stops here with "
     "'' is not a valid floating point value.\n"
     "2 errors, 1 warnings in 12 files\n"},
    {"a pick of 1.005 warns, a chance of 1 does not",
     {{"itemlist.txt", "Cap,0\nRing,1\nGold,0\nShort Blade,0\nMinor Elixir,0\n"},
      {"Normal/rat.txt", "Nothing:0.7\nGold:0.2\nShort Blade:0.06\nMinor Elixir:0.045\n"},
      {"Hell/rat.txt", "Gold:1\n"}},
     "Normal/rat.txt:1: warning: the chances of one pick add up to 1.005, not 1\n"
     "0 errors, 1 warnings in 12 files\n"},
    {"a blank at one end of an item name",
     {{"itemlist.txt", "Cap,0\nRing,1\nSpare Ring ,1\n"}},
     "itemlist.txt:3: warning: item name \"Spare Ring \" has leading or trailing blanks\n"
     "0 errors, 1 warnings in 12 files\n"},
    {"a shared drop table named again by its first monster",
     {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nMole:rat.txt,1\nRat:rat.txt,1\n"},
      {"Normal/levels.txt", "Rat:10\nMole:4\n"}},
     "Normal/monsterlist.txt:2: warning: drop table \"rat.txt\" is named by two monsters\n"
     "Normal/monsterlist.txt:2: warning: monster \"Mole\" is not in Nightmare/monsterlist.txt "
     "nor Hell/monsterlist.txt\n"
     "Normal/monsterlist.txt:3: warning: monster \"Rat\" is listed twice (first at line 1)\n"
     "Normal/monsterlist.txt:3: warning: drop table \"rat.txt\" is named by two monsters\n"
     "0 errors, 4 warnings in 12 files\n"},
    {"a merged total of exactly 100 %",
     {{"Normal/rat.txt", "Nothing:0.5\nCap:0.5\n-\nCap:0.5\n"}},
     "0 errors, 0 warnings in 12 files\n"},
    {"a monster list naming its own levels.txt",
     {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nRat:levels.txt,1\n"},
      {"Normal/levels.txt", "Rat:1\n"}},
     "Normal/levels.txt:1: warning: item \"Rat\" is in no list\n"
     "Normal/monsterlist.txt:2: warning: monster \"Rat\" is listed twice (first at line 1)\n"
     "0 errors, 2 warnings in 12 files\n"},
    // The set monster search reads the first monster line of a name, at the
    // first level line (3, where a weight of 0 fails); the set item search
    // reads both, at the last level line (16, where it does not).
    {"a second monster line that only the set monster search would fail on",
     {{"itemlist.txt", "Cap,0\nRing,1\nBelt,0\n"},
      {"setlist.txt", ":Vigil,3\nVigil Cap,Cap,2\nVigil Belt,Belt,0\n"},
      {"Normal/monsterlist.txt", "Rat:rat.txt,1\nRat:belt.txt,1\n"},
      {"Normal/levels.txt", "Rat:3\nRat:16\n"},
      {"Normal/belt.txt", "Nothing:0.5\nBelt:0.5\n"}},
     "Normal/levels.txt:2: warning: monster \"Rat\" has a level line already (line 1)\n"
     "Normal/monsterlist.txt:2: warning: monster \"Rat\" is listed twice (first at line 1)\n"
     "0 errors, 2 warnings in 13 files\n"},
    {"levels: a line without a colon, an unlisted name twice",
     {{"Normal/levels.txt", "Rat:10\nnocolon\nMole:3\nMole:x\n"}},
     "Normal/levels.txt:4: warning: monster \"Mole\" has a level line already (line 3)\n"
     "0 errors, 1 warnings in 12 files\n"},
};

// Runs `check` on the sound data with the changes of `c`.
void expectCheck(const CheckCase& c) {
    std::map<std::string, std::string> files = soundData();
    for (const auto& [path, bytes] : c.changes)
        files[path] = bytes;
    const TempDataDir data{};
    for (const auto& [path, bytes] : files)
        if (bytes != kAbsent)
            data.write(path, bytes);
    const CliRun r = runTool({"--data", data.path(), "check"});
    EXPECT_EQ(r.out, c.expected) << c.what;
    const bool errors =
        c.expected.rfind("0 errors", 0) != 0 && c.expected.find("\n0 errors") == std::string::npos;
    EXPECT_EQ(r.status, errors ? 1 : 0) << c.what;
    EXPECT_EQ(r.err, "") << c.what;
}

} // namespace

TEST(CliCheck, ReportsEveryProblemWithFileAndLine) {
    for (const CheckCase& c : kCases)
        expectCheck(c);
}

TEST(CliCheck, SampleDataIsSoundAndJsonCountsProblems) {
    EXPECT_EQ(runTool({"--data", DROPCALC_EXAMPLES, "check"}).status, 0);
    const TempDataDir data{{"itemlist.txt", "Cap\n"}};
    const CliRun r = runTool({"--data", data.path(), "--format", "json", "check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"path\": \"Normal/monsterlist.txt\",\n      \"line\": null,\n      "
                         "\"severity\": \"error\",\n      \"message\": \"Invalid filename.\""),
              std::string::npos)
        << r.out;
    EXPECT_NE(
        r.out.find(
            "\"errors\": 8,\n  \"warnings\": 1,\n  \"files\": 9,\n  \"summary\": \"8 errors, 1 "
            "warning\"\n}"),
        std::string::npos)
        << r.out;
}

// What keeps check from reading everything is an error of its own: a data
// folder that is not there (once, not once per file), or, below, a folder it
// could not list for want of open files.
TEST(CliCheck, WhatItCouldNotReadIsAnError) {
    const TempDataDir data{};
    for (const auto& [path, bytes] : soundData())
        data.write(path, bytes);
    data.write("Normal/act2/unnamed.txt", "");
    const struct {
        std::string data;
        std::string expected;
    } cases[] = {
        {data.path() + "/nowhere", data.path() +
                                       "/nowhere: error: Invalid filename. (no such folder)\n"
                                       "1 errors, 0 warnings in 0 files\n"},
        {data.path() + "/itemlist.txt",
         data.path() + "/itemlist.txt: error: Invalid filename. (not a folder)\n"
                       "1 errors, 0 warnings in 0 files\n"},
    };
    for (const auto& c : cases) {
        const qdc::test::Spawned r = runBinary({"--data", c.data, "check"});
        EXPECT_EQ(r.status, 1) << c.data;
        EXPECT_EQ(r.out + r.err, c.expected) << c.data;
    }
}

TEST(CliCheck, FolderNotListedForWantOfOpenFilesIsAnErrorPosixOnly) {
#ifdef _WIN32
    GTEST_SKIP() << "no limit of open files for one process on Windows";
#elif defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' own checks need descriptors of their own";
#endif
    const TempDataDir data{};
    for (const auto& [path, bytes] : soundData())
        data.write(path, bytes);
    data.write("Normal/act2/unnamed.txt", "");
    qdc::test::SpawnOptions limited;
    limited.openFileLimit = 5;
    const qdc::test::Spawned r = runBinary({"--data", data.path(), "check"}, limited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out + r.err,
              "Normal/act2: error: Too many open files.\n1 errors, 0 warnings in 12 files\n");
}
