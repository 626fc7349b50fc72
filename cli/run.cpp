#include "cli/run.h"
#include "data/diskfilesource.h"

#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/convert.h"
#include "results/error.h"
#include "search/magicfind.h"
#include "search/searches.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <ostream>
#include <sstream>

namespace qdc {

namespace {

struct UsageError {
    std::string message;
};

DifficultySet parseDifficulties(const std::string& text) {
    DifficultySet set;
    if (text.empty())
        return set;
    std::stringstream stream(text);
    std::string word;
    while (std::getline(stream, word, ',')) {
        if (word == "normal")
            set.normal = true;
        else if (word == "nightmare")
            set.nightmare = true;
        else if (word == "hell")
            set.hell = true;
        else
            throw UsageError{"--difficulty: unknown difficulty '" + word +
                             "' (normal, nightmare, hell)"};
    }
    if (!text.empty() && text.back() == ',')
        throw UsageError{"--difficulty: empty difficulty in '" + text + "'"};
    return set;
}

Difficulty singleDifficulty(const std::string& text) {
    const DifficultySet set = parseDifficulties(text);
    const int n = int(set.normal) + int(set.nightmare) + int(set.hell);
    if (n != 1)
        throw UsageError{"this command needs exactly one difficulty in --difficulty"};
    return set.normal      ? Difficulty::Normal
           : set.nightmare ? Difficulty::Nightmare
                           : Difficulty::Hell;
}

void printLines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        out << line << '\n';
}

} // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           char localeSeparator) {
    CLI::App app{"Quarnhold Drop Calculator, command-line tool.\n"
                 "Prints the result entries of a search, one a line, from the data files in\n"
                 "the data directory.",
                 "dropcalc-cli"};
    app.require_subcommand(1);
    app.fallthrough();

    std::string dataDir = ".";
    std::string sort = "chance";
    std::string magicFind = "0";
    std::string difficulty = "normal";
    std::string separator;
    bool wide = false;
    app.footer("Examples:\n"
               "  dropcalc-cli --data examples/data --sort name monster \"Cave Lurker\"\n"
               "  dropcalc-cli --difficulty normal,hell item Ring\n"
               "  dropcalc-cli --mf 200 unique-item \"Coil of Embers\"\n"
               "  dropcalc-cli set-item \"Ashen Vigil\" \"Ashen Vigil Cowl\"\n"
               "\n"
               "Exit status: 0 when the search ran to its end; 1 when the data files\n"
               "stopped it (the entries found before are printed, the message is the\n"
               "last line on standard error); 2 for a mistake on the command line.");
    app.add_option("--data", dataDir, "Data directory (default: the current directory)")
        ->type_name("DIR");
    app.add_option("--sort", sort, "Sort mode: name (name first) or chance (chance first)")
        ->check(CLI::IsMember({"name", "chance"}))
        ->type_name("MODE")
        ->capture_default_str();
    app.add_option("--mf", magicFind,
                   "Text of the magic-find box, read by the unique and set searches")
        ->type_name("TEXT")
        ->capture_default_str();
    app.add_option("--difficulty", difficulty,
                   "Comma-separated subset of normal, nightmare, hell (empty: none); "
                   "monster, unique-monster and set-monster need exactly one")
        ->type_name("LIST")
        ->capture_default_str();
    app.add_option("--decimal-separator", separator,
                   "Decimal separator, one character (default: the locale's)")
        ->check([](const std::string& s) {
            return s.size() == 1 ? std::string() : std::string("must be one character");
        })
        ->type_name("C");
    app.add_flag("--wide", wide, "Replace each \"=\" of the entries by ten blanks before printing");

    std::string name;
    std::string second;
    std::string mfText;

    auto* monster = app.add_subcommand("monster", "What a monster drops at one difficulty");
    monster->add_option("NAME", name, "Monster name")->required();
    auto* item = app.add_subcommand("item", "Which monsters drop an item");
    item->add_option("NAME", name, "Item name")->required();
    auto* uniqueItem = app.add_subcommand("unique-item", "Which monsters drop a unique item");
    uniqueItem->add_option("NAME", name, "Unique item name")->required();
    auto* uniqueMonster = app.add_subcommand(
        "unique-monster", "Which unique items a monster drops at one difficulty");
    uniqueMonster->add_option("NAME", name, "Monster name")->required();
    auto* setItem = app.add_subcommand("set-item", "Which monsters drop a set item");
    setItem->add_option("BASESET", name, "Base set name")->required();
    setItem->add_option("SETITEM", second, "Set item name")->required();
    auto* setMonster =
        app.add_subcommand("set-monster", "Which set items a monster drops at one difficulty");
    setMonster->add_option("NAME", name, "Monster name")->required();
    auto* setItems =
        app.add_subcommand("set-items", "The set items that choosing a base set offers");
    setItems->add_option("BASESET", name, "Base set name")->required();
    auto* list = app.add_subcommand("list", "The names that start-up puts into a selection box");
    list->add_option("WHAT", name, "monsters, items, base-sets or uniques")
        ->required()
        ->check(CLI::IsMember({"monsters", "items", "base-sets", "uniques"}));
    auto* mf = app.add_subcommand("mf", "Real unique, set and rare magic find, one a line");
    mf->add_option("TEXT", mfText, "Magic find")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::ParseError& e) {
        err << "dropcalc-cli: " << e.what() << "\nRun with --help for usage.\n";
        return 2;
    }

    const char decimalSeparator = separator.empty() ? localeSeparator : separator[0];
    const SortMode mode = sort == "name" ? SortMode::NameFirst : SortMode::ChanceFirst;
    DiskFileSource files(dataDir);
    const SearchEnv env{files, decimalSeparator, mode};
    MemoryResultList results;
    std::vector<std::string> lines;

    try {
        try {
            if (*monster) {
                monsterSearch(env, results, name, singleDifficulty(difficulty));
            } else if (*item) {
                itemSearch(env, results, name, parseDifficulties(difficulty));
            } else if (*uniqueItem) {
                uniqueItemSearch(env, results, name, parseDifficulties(difficulty), magicFind);
            } else if (*uniqueMonster) {
                uniqueMonsterSearch(env, results, name, singleDifficulty(difficulty), magicFind);
            } else if (*setItem) {
                setItemSearch(env, results, name, second, parseDifficulties(difficulty), magicFind);
            } else if (*setMonster) {
                setMonsterSearch(env, results, name, singleDifficulty(difficulty), magicFind);
            } else if (*setItems) {
                SetItemChoice choice;
                try {
                    chooseBaseSet(files, name, choice);
                } catch (...) {
                    lines = choice.names;
                    throw;
                }
                lines = choice.names;
            } else if (*list) {
                if (name == "monsters")
                    readMonsterNames(files, lines);
                else if (name == "items")
                    readItemNames(files, lines);
                else if (name == "base-sets")
                    readBaseSetNames(files, lines);
                else
                    readUniqueNames(files, lines);
            } else if (*mf) {
                const RealMagicFind real = realMagicFind(toInt(mfText));
                lines = {std::to_string(real.unique), std::to_string(real.set),
                         std::to_string(real.rare)};
            }
        } catch (const DropError&) {
            if (wide)
                widenSeparators(results);
            printLines(out, results.entries());
            printLines(out, lines);
            throw;
        }
    } catch (const UsageError& e) {
        err << "dropcalc-cli: " << e.message << "\nRun with --help for usage.\n";
        return 2;
    } catch (const DropError& e) {
        out.flush();
        err << boxMessage(e.message()) << '\n';
        return 1;
    }

    if (wide)
        widenSeparators(results);
    printLines(out, results.entries());
    printLines(out, lines);
    return 0;
}

} // namespace qdc
