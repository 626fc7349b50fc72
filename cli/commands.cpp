#include "cli/commands.h"

#include "cli/datafolder.h"
#include "data/encoding.h"
#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/convert.h"
#include "search/magicfind.h"

#include <iterator>
#include <sstream>

namespace qdc::cli {

const char* optionName(Option option) {
    switch (option) {
    case kMagicFindOption:
        return "--mf";
    case kDataOption:
        return "--data";
    case kSortOption:
        return "--sort";
    case kDifficultyOption:
        return "--difficulty";
    case kSeparatorOption:
        return "--decimal-separator";
    case kWideOption:
        return "--wide";
    case kOneInOption:
        return "--one-in";
    case kFormatOption:
        return "--format";
    }
    return "";
}

DifficultySet parseDifficulties(const std::string& text) {
    DifficultySet set;
    if (text.empty())
        return set;
    if (text.back() == ',')
        throw UsageError("--difficulty: empty difficulty in '" + text + "'");
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
            throw UsageError("--difficulty: unknown difficulty '" + word +
                             "' (normal, nightmare, hell)");
    }
    return set;
}

Difficulty oneDifficulty(const Settings& settings) {
    const DifficultySet set = settings.difficulties;
    if (int(set.normal) + int(set.nightmare) + int(set.hell) != 1)
        throw UsageError("this command needs exactly one difficulty in --difficulty");
    return set.normal      ? Difficulty::Normal
           : set.nightmare ? Difficulty::Nightmare
                           : Difficulty::Hell;
}

std::string optionsHelp(const Command& command) {
    std::string help;
    for (const Option option : kOptions) {
        if ((command.reads & option) == 0)
            continue;
        help += (help.empty() ? "" : ", ") + std::string(optionName(option));
        if (option == kDifficultyOption && command.needsOneDifficulty)
            help += " (exactly one)";
    }
    return help;
}

namespace {

// Runs `search` on the data directory of the settings, with the command's
// arguments in its boxes.
void runSearch(const SearchKind& search, const Settings& s, const std::vector<std::string>& args,
               Outcome& out) {
    Entries& entries = out.emplace<Entries>();
    entries.search = &search;
    entries.request = {args, s.difficulties, s.magicFind};
    const auto files = openDataFolder(s.dataDir);
    const SearchEnv env{*files, s.decimalSeparator, s.sort};
    entries.note = search.run(env, entries.list, entries.request);
}

// A document says whether the data folder is written in UTF-8.
void noteEncoding(const Settings& s, FileSource& files, Names& names) {
    if (s.format == Format::Json)
        names.utf8 = listsAreUtf8(files);
}

// Every set item with its base set; those read before an error are kept.
void readMembers(FileSource& files, Names& listed) {
    std::vector<SetMember> members;
    const auto keep = [&] {
        for (SetMember& member : members) {
            listed.names.push_back(std::move(member.setItem));
            listed.baseSets.push_back(std::move(member.baseSet));
        }
    };
    try {
        readSetMembers(files, members);
    } catch (...) {
        keep();
        throw;
    }
    keep();
}

void listNames(const Settings& s, const std::string& what, Outcome& out) {
    Names& listed = out.emplace<Names>();
    std::vector<std::string>& names = listed.names;
    const auto files = openDataFolder(s.dataDir);
    noteEncoding(s, *files, listed);
    if (what == "monsters")
        readMonsterNames(*files, names);
    else if (what == "items")
        readItemNames(*files, names);
    else if (what == "base-sets")
        readBaseSetNames(*files, names);
    else if (what == "uniques")
        readUniqueNames(*files, names);
    else if (what == "set-members")
        readMembers(*files, listed);
    else
        throw UsageError("list: unknown list '" + what +
                         "' (monsters, items, base-sets, uniques, set-members)");
}

void setItemNames(const Settings& s, const std::string& baseSet, Outcome& out) {
    Names& listed = out.emplace<Names>();
    std::vector<std::string>& names = listed.names;
    const auto files = openDataFolder(s.dataDir);
    noteEncoding(s, *files, listed);
    SetItemChoice choice;
    try {
        chooseBaseSet(*files, baseSet, choice);
    } catch (...) {
        names = std::move(choice.names);
        throw;
    }
    names = std::move(choice.names);
}

void magicFind(const std::string& text, Outcome& out) {
    Figures& figures = out.emplace<Figures>();
    const RealMagicFind real = realMagicFind(toInt(text));
    figures.numbers = {{"unique", real.unique}, {"set", real.set}, {"rare", real.rare}};
}

void check(const Settings& s, Outcome& out) {
    CheckReport& report = out.emplace<CheckReport>();
    const auto files = openDataFolder(s.dataDir);
    report = checkData(*files, listDataFolder(*files), s.decimalSeparator);
}

const OptionSet kSearchOptions = kDataOption | kSortOption | kDifficultyOption | kSeparatorOption |
                                 kWideOption | kOneInOption | kFormatOption;

// The searches of the catalogue, then the tool's own commands.
std::vector<Command> makeCommands() {
    using Args = std::vector<std::string>;
    std::vector<Command> table;
    for (const SearchKind& search : searchCatalogue()) {
        Command command;
        command.search = &search;
        command.name = search.command;
        command.summary = search.summary;
        command.what = search.caption;
        for (const SearchInput& input : search.inputs)
            command.arguments.emplace_back(input.argument, input.label);
        command.reads = kSearchOptions | (search.readsMagicFind ? kMagicFindOption : 0U);
        command.needsOneDifficulty = search.oneDifficulty;
        command.run = [&search](const Settings& s, const Args& a, Outcome& out) {
            runSearch(search, s, a, out);
        };
        table.push_back(std::move(command));
    }
    std::vector<Command> own = {
        {"set-items",
         "The set items that choosing a base set offers",
         "set-items list",
         {{"BASESET", "Base set name"}},
         kDataOption | kFormatOption,
         false,
         [](const Settings& s, const Args& a, Outcome& out) { setItemNames(s, a[0], out); }},
        {"list",
         "The names that start-up puts into a selection box",
         "name lists",
         {{"WHAT", "monsters, items, base-sets, uniques or set-members"}},
         kDataOption | kFormatOption,
         false,
         [](const Settings& s, const Args& a, Outcome& out) { listNames(s, a[0], out); }},
        {"mf",
         "Real unique, set and rare magic find, one a line",
         "magic find calculator",
         {{"TEXT", "Magic find"}},
         kFormatOption,
         false,
         [](const Settings&, const Args& a, Outcome& out) { magicFind(a[0], out); }},
        {"check",
         "Every problem of the data files, with file and line",
         "data check",
         {},
         kDataOption | kSeparatorOption | kFormatOption,
         false,
         [](const Settings& s, const Args&, Outcome& out) { check(s, out); }},
    };
    table.insert(table.end(), std::make_move_iterator(own.begin()),
                 std::make_move_iterator(own.end()));
    return table;
}

} // namespace

const std::vector<Command>& commands() {
    static const std::vector<Command> table = makeCommands();
    return table;
}

} // namespace qdc::cli
