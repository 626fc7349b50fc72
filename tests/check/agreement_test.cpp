// The checker against the searches and the start-up, both ways: on sound
// random data with one fault each, and on hand-made data sets, every place
// where a search or the start-up stops is an error of the checker with the
// same message, and every error of the checker is a place where one of them
// stops with that message. The searches are those a user can ask for with
// the names the data hold.

#include "check/check.h"
#include "data/difficulty.h"
#include "data/filesource.h"
#include "data/itemlist.h"
#include "data/levels.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "search/quality.h"
#include "search/searches.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace {

using namespace qdc;
using Files = std::map<std::string, std::string>;

const std::vector<std::string> kItems = {"Cap", "Ring", "Amulet", "Belt", "Heavy Boots"};

std::vector<std::string> linesOf(const Files& files, const std::string& path) {
    std::vector<std::string> lines;
    const auto found = files.find(path);
    if (found != files.end()) {
        std::istringstream in(found->second);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
    }
    return lines;
}

// Sound data, then one fault unless `sound`.
class FaultyData {
  public:
    explicit FaultyData(unsigned seed, bool sound = false) : random_(seed) {
        files["itemlist.txt"] = "Cap,0\nRing,1\nAmulet,1\nBelt,0\nHeavy Boots,0\n";
        for (int i = 0; i < 4; ++i) {
            const std::string& base = item();
            files["unilist.txt"] += "U" + std::to_string(i) + "," + base + ":" + level(10) +
                                    (base == "Ring" || base == "Amulet" ? "," + digit() : "") +
                                    "\n";
        }
        for (int s = 0; s < 2; ++s) {
            files["setlist.txt"] += ":S" + std::to_string(s) + "," + level(20) + "\n";
            for (int i = 0; i < 2; ++i)
                files["setlist.txt"] += "S" + std::to_string(s) + "I" + std::to_string(i) + "," +
                                        item() + "," + digit() + "\n";
        }
        for (const Difficulty d : kAllDifficulties) {
            const std::string folder = difficultyName(d) + "/";
            for (int m = 0; m < 3; ++m) {
                const std::string table = "t" + std::to_string(m) + ".txt";
                files[folder + "monsterlist.txt"] +=
                    "M" + std::to_string(m) + ":" + table + "," + digit() + "\n";
                files[folder + "levels.txt"] +=
                    "M" + std::to_string(m) + ":" + level(40) + ",0" + level(100) + "\n";
                std::string lines;
                for (const std::string& item : kItems)
                    if (pick(3) > 0)
                        lines += item + ":0." + digit() + "\n";
                files[folder + table] = pick(4) == 0 ? lines + "-\nNothing:0.5\n" : lines;
            }
        }
        if (!sound)
            addFault();
    }
    Files files;

  private:
    int pick(int n) { return std::uniform_int_distribution<>(0, n - 1)(random_); }
    std::string digit() { return std::to_string(1 + pick(9)); }
    std::string level(int below) {
        const std::string text = std::to_string(pick(below));
        return text.size() < 2 ? "0" + text : text;
    }
    const std::string& item() { return kItems[pick(static_cast<int>(kItems.size()))]; }
    std::string junk() {
        const char* junk[] = {"", "x", "0.o1", "1e", " ,", "$", "-"};
        return junk[pick(7)];
    }
    // A random line of a file, replaced by what `change` makes of it.
    void changeLine(const std::string& path,
                    const std::function<std::string(std::string)>& change) {
        std::vector<std::string> lines = linesOf(files, path);
        if (lines.empty())
            return;
        std::string& line = lines[pick(static_cast<int>(lines.size()))];
        line = change(line);
        files[path].clear();
        for (const std::string& l : lines)
            files[path] += l + "\n";
    }
    std::string anyDifficulty() { return difficultyName(kAllDifficulties[pick(3)]) + "/"; }
    void addFault() {
        const std::string folder = anyDifficulty();
        const std::string table = folder + "t" + std::to_string(pick(3)) + ".txt";
        const auto upTo = [](const std::string& line, char c) {
            return line.substr(0, line.find(c) + 1);
        };
        switch (pick(16)) {
        case 0:
            return changeLine(table, [&](const std::string& l) { return upTo(l, ':') + junk(); });
        case 1:
            return changeLine(folder + "monsterlist.txt",
                              [&](const std::string& l) { return upTo(l, ',') + junk(); });
        case 2:
            files.erase(table);
            return;
        case 3:
            return changeLine(folder + "levels.txt", [&](const std::string& l) {
                return pick(2) ? upTo(l, ':') + junk() + ",010" : upTo(l, ',') + junk();
            });
        case 4:
            return changeLine("unilist.txt",
                              [&](const std::string& l) { return upTo(l, ':') + junk(); });
        case 5:
            files["unilist.txt"] += "U9,Ring:03," + junk() + "\n";
            return;
        case 6:
            files["setlist.txt"] = ":S9," + junk() + "\nS9I0,Cap,0\n" + files["setlist.txt"];
            return;
        case 7:
            return changeLine("setlist.txt", [&](const std::string& l) {
                return l[0] == ':' ? l : upTo(l, ',') + item() + "," + junk();
            });
        case 8:
            return changeLine("itemlist.txt", [&](const std::string& l) { return upTo(l, ','); });
        case 9:
            return changeLine("setlist.txt", [&](const std::string& l) {
                return l[0] == ':' ? l : upTo(l, ',') + item() + ",0";
            });
        case 10: {
            const std::string lists[] = {"itemlist.txt", "unilist.txt", "setlist.txt",
                                         folder + "monsterlist.txt", folder + "levels.txt"};
            files.erase(lists[pick(5)]);
            return;
        }
        case 11:
            files["itemlist.txt"] += "1\n";
            return;
        case 12:
            files["unilist.txt"] += "U9,:05\n";
            return;
        case 13:
            files[table] += ":0.5\n";
            return;
        case 14:
            files[folder + "monsterlist.txt"] += "Vyk:gysk2.txt:5\n";
            return;
        default:
            // A level so far above a unique's that its quality term is 0.
            files["unilist.txt"] += "U9,Ring:05,1\n";
            files[folder + "levels.txt"] = "M0:905,000\n" + files[folder + "levels.txt"];
            return;
        }
    }

    std::mt19937 random_;
};

// A place and the message said there.
using Stop = std::tuple<std::string, int, std::string>;

std::string describe(const Stop& stop) {
    return std::get<0>(stop) + ":" + std::to_string(std::get<1>(stop)) + ": " + std::get<2>(stop);
}

// Where every search and the start-up stop on `files`, and where else they
// may be said to stop: a drop table that cannot be opened is also reported
// at the monster-list line that names it.
struct Stops {
    std::set<Stop> at;
    std::set<Stop> alsoAt;
};

Stops stopsOf(const Files& files) {
    MemoryFileSource source;
    for (const auto& [path, bytes] : files)
        source.set(path, bytes);
    std::vector<std::function<void()>> runs;
    std::vector<std::string> names;
    runs.push_back([&source, &names] { readMonsterNames(source, names); });
    for (const auto& read : {readItemNames, readBaseSetNames, readUniqueNames})
        runs.push_back([&source, read, &names] { read(source, names); });
    const SearchEnv env{source, '.', SortMode::ChanceFirst};
    MemoryResultList list;
    std::set<std::string> items(kItems.begin(), kItems.end());
    std::set<std::string> baseSets = {"none"};
    std::set<std::string> setItems;
    for (const Difficulty d : kAllDifficulties) {
        std::set<std::string> monsters;
        for (const std::string& line : linesOf(files, monsterListPath(d))) {
            monsters.insert(cutFirstColon(line).name);
            for (const MonsterNameAt& candidate : scanMonsterNames(line))
                monsters.emplace(candidate.name);
        }
        for (const std::string& line : linesOf(files, levelsPath(d)))
            monsters.emplace(levelLineName(line));
        for (const std::string& m : monsters) {
            runs.push_back([&, m, d] { monsterSearch(env, list, m, d); });
            runs.push_back([&, m, d] { uniqueMonsterSearch(env, list, m, d, "0"); });
            runs.push_back([&, m, d] { setMonsterSearch(env, list, m, d, "0"); });
        }
    }
    for (const auto& [path, bytes] : files)
        for (const std::string& line : linesOf(files, path))
            items.insert(line.substr(0, line.find(':')));
    for (const std::string& line : linesOf(files, kSetListPath)) {
        const SetListLine cut = cutSetListLine(line);
        (cut.header ? baseSets : setItems).insert(cut.header ? cut.setKey : cut.beforeComma);
    }
    // The searches over many monsters, at each difficulty alone too.
    for (const DifficultySet ds :
         {DifficultySet{true, true, true}, DifficultySet{true, false, false},
          DifficultySet{false, true, false}, DifficultySet{false, false, true}}) {
        for (const std::string& item : items)
            runs.push_back([&, item, ds] { itemSearch(env, list, item, ds); });
        for (const std::string& line : linesOf(files, kUniqueListPath)) {
            const std::string unique = cutUniqueLine(line).name;
            runs.push_back([&, unique, ds] { uniqueItemSearch(env, list, unique, ds, "0"); });
        }
        for (const std::string& baseSet : baseSets)
            for (const std::string& setItem : setItems)
                runs.push_back([&, baseSet, setItem, ds] {
                    setItemSearch(env, list, baseSet, setItem, ds, "0");
                });
    }
    Stops stops;
    for (const auto& run : runs) {
        try {
            run();
        } catch (const DropError& e) {
            const ErrorLocation where = e.location().value_or(ErrorLocation{"(nowhere)", -1, {}});
            stops.at.emplace(where.path, where.line, boxMessage(e.message()));
            if (e.namedBy())
                stops.alsoAt.emplace(e.namedBy()->path, e.namedBy()->line, boxMessage(e.message()));
        }
    }
    return stops;
}

// The checker's errors, each message without the explanation that follows
// the searches' own message.
std::set<Stop> checkerErrors(const Files& files, const std::set<Stop>& stops) {
    MemoryFileSource source;
    for (const auto& [path, bytes] : files)
        source.set(path, bytes);
    std::set<Stop> errors;
    for (const Problem& p : checkData(source, {}, '.').problems) {
        if (p.severity != Severity::Error)
            continue;
        std::string message = p.message;
        for (std::size_t cut = p.message.find(" ("); cut != std::string::npos;
             cut = p.message.find(" (", cut + 1))
            if (stops.contains({p.path, p.line, p.message.substr(0, cut)})) {
                message.resize(cut);
                break;
            }
        errors.emplace(p.path, p.line, message);
    }
    return errors;
}

// The disagreements on one data set, one line each.
std::string disagreements(const Files& files) {
    const Stops stops = stopsOf(files);
    std::set<Stop> all = stops.at;
    all.insert(stops.alsoAt.begin(), stops.alsoAt.end());
    const std::set<Stop> errors = checkerErrors(files, all);
    std::string found;
    for (const Stop& stop : stops.at) {
        const auto alsoAt =
            std::find_if(stops.alsoAt.begin(), stops.alsoAt.end(), [&](const Stop& s) {
                return std::get<2>(s) == std::get<2>(stop) && errors.contains(s);
            });
        if (!errors.contains(stop) && alsoAt == stops.alsoAt.end())
            found += "not reported: " + describe(stop) + "\n";
    }
    for (const Stop& error : errors)
        if (!all.contains(error))
            found += "no search stops: " + describe(error) + "\n";
    return found;
}

std::string dump(const Files& files) {
    std::string text;
    for (const auto& [path, bytes] : files)
        text += "--- " + path + "\n" + bytes;
    return text;
}

} // namespace

TEST(CheckAgreement, RandomDataWithOneFault) {
    int faulty = 0;
    for (unsigned seed = 1; seed <= 320 && !HasFailure(); ++seed) {
        const FaultyData data(seed);
        EXPECT_EQ(disagreements(data.files), "") << "seed " << seed << "\n" << dump(data.files);
        faulty += stopsOf(data.files).at.empty() ? 0 : 1;
    }
    // Most faults stop a search.
    EXPECT_GT(faulty, 200);
}

namespace {

Files withLine(Files files, const std::string& path, const std::string& bytes) {
    files[path] = bytes;
    return files;
}

} // namespace

TEST(CheckAgreement, HandMadeData) {
    const Files kStops = {{"itemlist.txt", "Cap,\nRing,1\n"},
                          {"setlist.txt", ":Vigil,3\nVigil Cap,Cap,2\nVigil Band,Ring,0\n"}};
    const Files sound = {
        {"itemlist.txt", "Cap,0\nRing,1\n"},
        {"unilist.txt", "Band,Ring:05,2\n"},
        {"setlist.txt", ":Vigil,3\nVigil Cap,Cap,2\n"},
        {"Normal/monsterlist.txt", "Rat:rat.txt,1\n"},
        {"Normal/levels.txt", "Rat:10\n"},
        {"Normal/rat.txt", "Cap:0.3\nRing:0.2\n"},
        {"Nightmare/monsterlist.txt", ""},
        {"Nightmare/levels.txt", ""},
        {"Hell/monsterlist.txt", ""},
        {"Hell/levels.txt", ""},
    };
    const std::vector<std::pair<const char*, Files>> cases = {
        {"an item line of one character", {{"itemlist.txt", "Cap,0\nRing,1\n1\n"}}},
        {"a unique with an empty base item", {{"unilist.txt", "Band,Ring:05,2\nHollow,:03\n"}}},
        {"a drop-table line with an empty item", {{"Normal/rat.txt", "Cap:0.3\n:0.5\n"}}},
        {"all three",
         {{"itemlist.txt", "1\n"}, {"unilist.txt", "Hollow,:03\n"}, {"Normal/rat.txt", ":0.5\n"}}},
        {"a second name with an empty table name",
         {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nVyk:gysk2.txt:5\n"}}},
        {"a header that is no number, then a set item of weight 0",
         {{"setlist.txt", ":Vigil,x\nVigil Cap,Cap,0\n"}}},
        {"a set item named after a base set", {{"setlist.txt", ":Vigil,3\nXVigil,Ring,1\n"}}},
        {"no itemlist.txt", {{"itemlist.txt", "\x01"}}},
        {"a missing drop table", {{"Normal/monsterlist.txt", "Rat:rat.txt,1\nBat:bat.txt,2\n"}}},
        {"both reduction cuts fail differently", {{"Normal/levels.txt", "Rat:1,ab\n"}}},
        // The unique monster search stops at Band's weight, before the line
        // whose unique Hat has no flag; Hat's own search reads its last line.
        {"a unique's weight that does not convert",
         {{"itemlist.txt", "Cap,\nRing,1\n"},
          {"unilist.txt", "Band,Ring:05,x\nHat,Cap:03\nHat,Ring:03,1\n"},
          {"setlist.txt", ":Vigil,3\nVigil Band,Ring,2\n"},
          {"Normal/rat.txt", "Ring:0.2\nCap:0.3\n"}}},
        // Band's unique item search stops at Bat's line of its item; Rat's
        // own searches stop at its first line.
        {"a unique's item line that does not convert",
         {{"itemlist.txt", "Cap,\nRing,\n"},
          {"unilist.txt", "Band,Ring:05,2\nHat,Cap:03\n"},
          {"setlist.txt", ":Vigil,3\nVigil Amulet,Amulet,2\n"},
          {"Normal/monsterlist.txt", "Bat:bat.txt,1\nRat:rat.txt,1\n"},
          {"Normal/levels.txt", "Bat:10\nRat:10\n"},
          {"Normal/bat.txt", "Ring:x\n"},
          {"Normal/rat.txt", "Cap:0.3\nRing:0.2\n"}}},
        // ... and a line of the list that does not convert ends it after the
        // first drop-table line.
        {"a unique list line that does not convert",
         {{"itemlist.txt", "Cap,\nRing,1\n"},
          {"unilist.txt", "Band,Ring:05,2\nHat,Cap:03\nHat,Ring:03,1\nOdd,Ring:xx\n"},
          {"setlist.txt", ":Vigil,3\nVigil Band,Ring,2\n"},
          {"Normal/rat.txt", "Ring:0.2\nCap:0.3\n"}}},
        // So does one of the set list the set monster search; the set item
        // search ends at the last level line.
        {"a set list line that does not convert",
         {{"itemlist.txt", "Cap,\nRing,1\n"},
          {"setlist.txt", ":Vigil,3\nVigil Band,Ring,2\nVigil Cap,Cap,2\nVigil Odd,Ring,x\n"},
          {"Normal/levels.txt", "Rat:10\nRat:xyz\n"},
          {"Normal/rat.txt", "Ring:0.2\nCap:0.3\n"}}},
        // Each search looks a flag up by its own key.
        {"a flag by the name only", {{"itemlist.txt", "Cap,0\nRing,ab1\n"}}},
        {"a flag by the line key only", {{"itemlist.txt", "Cap,0\nRing 1\n"}}},
        {"a last level line only the set item search reads",
         {{"Normal/levels.txt", "Rat:10\nRat:403,001\n"}}},
        // The set monster search stops at the first line, on a base item
        // without a flag; only the set item search of the second item fails
        // at the second, unless a monster line ends its walk before.
        {"a search of every monster line stops last", kStops},
        {"... behind a monster line without picks",
         withLine(kStops, "Normal/monsterlist.txt", "Bat:bat.txt,x\nRat:rat.txt,1\n")},
        {"... behind a missing drop table",
         withLine(kStops, "Normal/monsterlist.txt", "Bat:bat.txt,1\nRat:rat.txt,1\n")},
        {"... behind a drop-table line whose chance does not convert",
         withLine(kStops, "Normal/rat.txt", "Cap:0.3\nBat:x\nRing:0.2\n")},
        {"... behind a level line that does not convert",
         withLine(
             withLine(withLine(kStops, "Normal/monsterlist.txt", "Bat:bat.txt,1\nRat:rat.txt,1\n"),
                      "Normal/levels.txt", "Bat:x,010\nRat:10\n"),
             "Normal/bat.txt", "Nothing:0.5\n")},
    };
    for (const auto& [what, changes] : cases) {
        Files files = sound;
        for (const auto& [path, bytes] : changes) {
            if (bytes == "\x01")
                files.erase(path);
            else
                files[path] = bytes;
        }
        EXPECT_EQ(disagreements(files), "") << what;
    }
}

namespace {

// The qualities moved one at a time so that the random levels reach a term of
// 0 on sound data.
std::vector<std::pair<const char*, QualityTable>> movedQualities() {
    const auto moved = [](auto change) {
        QualityTable table;
        change(table);
        return table;
    };
    return {
        {"unique flag 1 at ratio 2", moved([](QualityTable& q) {
             q.unique1 = {2, 3};
         })},
        {"unique flag 0 at ratio 4", moved([](QualityTable& q) {
             q.unique0 = {4, 2};
         })},
        {"set flag 0 at ratio 2", moved([](QualityTable& q) {
             q.set0 = {2, 2};
         })},
        {"set flag 1 at ratio 2", moved([](QualityTable& q) {
             q.set1 = {2, 3};
         })},
    };
}

} // namespace

// The checker's computations and its shortcuts follow the qualities in force,
// as the searches' do.
TEST(CheckAgreement, MovedQualities) {
    for (const auto& [what, table] : movedQualities()) {
        const QualityOverride inForce(table);
        int changed = 0; // data sets where the move changes where a search stops
        for (unsigned seed = 1; seed <= 40 && !HasFailure(); ++seed) {
            const FaultyData data(seed, true);
            EXPECT_EQ(disagreements(data.files), "") << what << ", seed " << seed << "\n"
                                                     << dump(data.files);
            const std::set<Stop> stops = stopsOf(data.files).at;
            const QualityOverride plain{QualityTable{}};
            changed += stopsOf(data.files).at == stops ? 0 : 1;
        }
        EXPECT_GT(changed, 5) << what;
    }
}

// With a fault as well, the searches stop at the fault or at a computation,
// whichever their walks meet first.
TEST(CheckAgreement, MovedQualitiesWithOneFault) {
    for (const auto& [what, table] : movedQualities()) {
        const QualityOverride inForce(table);
        for (unsigned seed = 1; seed <= 160 && !HasFailure(); ++seed) {
            const FaultyData data(seed);
            EXPECT_EQ(disagreements(data.files), "") << what << ", seed " << seed << "\n"
                                                     << dump(data.files);
        }
    }
}
