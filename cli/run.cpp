#include "cli/run.h"

#include "cli/commands.h"
#include "cli/datafolder.h"
#include "cli/diffcommand.h"
#include "cli/output.h"
#include "cli/terminal.h"
#include "data/difficulty.h"
#include "results/answer.h"
#include "results/error.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace qdc {

namespace {

using cli::Command;
using cli::Format;
using cli::Outcome;
using cli::Settings;
using cli::UsageError;

const char* const kFooter =
    "Examples, run from the project's folder:\n"
    "  dropcalc-cli --data examples/data --sort name monster \"Cave Lurker\"\n"
    "  dropcalc-cli --data examples/data --difficulty normal,hell item Ring\n"
    "  dropcalc-cli --data examples/data --mf 200 unique-item \"Coil of Embers\"\n"
    "  dropcalc-cli --data examples/data set-item \"Ashen Vigil\" \"Ashen Vigil Cowl\"\n"
    "  dropcalc-cli --data examples/data --format json list base-sets\n"
    "  dropcalc-cli --data examples/data check\n"
    "\n"
    "Formats: text prints the entries as the list shows them. tsv prints NAME<TAB>CHANCE\n"
    "(and <TAB>N with --one-in) for a search, the name alone for list and set-items,\n"
    "LABEL<TAB>NUMBER for mf (unique, set, rare), PATH<TAB>LINE<TAB>SEVERITY<TAB>MESSAGE\n"
    "for check. csv prints a search's entries for a spreadsheet: name, difficulty,\n"
    "chance, 1 in N, kills for 90 %. json prints {\"heading\", \"entries\": [...],\n"
    "\"notes\": [...], \"error\": null} for a search, each entry {\"name\", \"chance\",\n"
    "\"value\", \"one_in\", \"kills_90\", \"difficulty\", \"plain_name\"}; {\"entries\",\n"
    "\"notes\", \"utf8\", \"error\"} for list and set-items, each entry {\"name\"};\n"
    "{\"entries\", \"notes\", \"error\"} for mf, each entry {\"name\", \"value\"}; check\n"
    "prints {\"problems\": [...], \"errors\", \"warnings\", \"files\"}. For a chance of\n"
    "c %, N is 100 / c rounded (1 in N), and kills_90 the kills that drop it with 90 %\n"
    "certainty.\n"
    "\n"
    "Exit status: 0 when the command ran to its end; 1 when the data files stopped it\n"
    "(the entries found before are printed, the message is the last line on standard\n"
    "error, the line before it says where), when check found errors, or when the\n"
    "output could not be written; 2 for a mistake on the command line. diff exits with 0\n"
    "when nothing changed, 1 when something did, 2 on a mistake or a data error.";

// A separator that a number text could hold otherwise would make numbers
// ambiguous.
std::string checkSeparator(const std::string& s) {
    const std::string refused = "0123456789+-Ee= \t\n\r\v\f";
    if (s.size() != 1 || refused.find(s[0]) != std::string::npos)
        return "must be one character, not a digit, a sign, 'E', 'e', '=' or a blank";
    return {};
}

// The options as CLI11 reads them, before they become Settings.
struct OptionTexts {
    std::string dataDir = ".";
    std::string sort = "chance";
    std::string magicFind = "0";
    std::string difficulty = "normal";
    std::string separator;
    bool wide = false;
    bool oneIn = false;
    std::string format = "text";
};

void addOptions(CLI::App& app, OptionTexts& o) {
    app.add_option("--data", o.dataDir, "Data directory (default: the current directory)")
        ->type_name("DIR");
    app.add_option("--sort", o.sort,
                   "Sort mode: name (name first), chance (chance first) or highest (chance "
                   "first, highest chance first)")
        ->check(CLI::IsMember({"name", "chance", "highest"}))
        ->type_name("MODE")
        ->capture_default_str();
    app.add_option("--mf", o.magicFind,
                   "Text of the magic-find box, read by the unique and set searches")
        ->type_name("TEXT")
        ->capture_default_str();
    app.add_option("--difficulty", o.difficulty,
                   "Comma-separated subset of normal, nightmare, hell (empty: none); "
                   "monster, unique-monster and set-monster need exactly one")
        ->type_name("LIST")
        ->capture_default_str();
    app.add_option("--decimal-separator", o.separator,
                   "Decimal separator, one character (default: the locale's)")
        ->check(checkSeparator)
        ->type_name("C");
    app.add_flag("--wide", o.wide, "Replace each \"=\" of the entries by ten blanks");
    app.add_flag("--one-in", o.oneIn, "Add \" (1 in N)\" to each entry (a third column N in tsv)");
    app.add_option("--format", o.format, "Output format: text, tsv, json or csv")
        ->check(CLI::IsMember({"text", "tsv", "json", "csv"}))
        ->type_name("FORMAT")
        ->capture_default_str();
    app.set_version_flag("--version",
                         std::string("dropcalc-cli ") + DROPCALC_VERSION + "\nLicense: MIT");
}

// The settings the options give, each text parsed here once.
Settings settingsFrom(const CLI::App& app, const OptionTexts& o, char localeSeparator) {
    Settings s;
    s.dataDir = o.dataDir;
    s.sort = o.sort == "name"      ? SortMode::NameFirst
             : o.sort == "highest" ? SortMode::Highest
                                   : SortMode::ChanceFirst;
    s.magicFind = o.magicFind;
    s.difficulties = cli::parseDifficulties(o.difficulty);
    s.format = o.format == "json"  ? Format::Json
               : o.format == "tsv" ? Format::Tsv
               : o.format == "csv" ? Format::Csv
                                   : Format::Text;
    s.wide = o.wide;
    s.oneIn = o.oneIn;
    s.decimalSeparator = o.separator.empty() ? localeSeparator : o.separator[0];
    for (const cli::Option option : cli::kOptions)
        if (app.get_option(cli::optionName(option))->count() > 0)
            s.given |= option;
    return s;
}

// One subcommand a command of the table, its arguments stored in `args`;
// CLI11 asks for them unless words after "--" may give them.
CLI::App* addCommand(CLI::App& app, const Command& command, std::vector<std::string>& args,
                     bool required) {
    CLI::App* sub = app.add_subcommand(command.name, command.summary);
    args.resize(command.arguments.size());
    for (std::size_t i = 0; i < args.size(); ++i)
        sub->add_option(command.arguments[i].first, args[i], command.arguments[i].second)
            ->required(required);
    sub->footer("Options that apply, given before the command:\n  " + cli::optionsHelp(command));
    return sub;
}

// The mistake left over once CLI11 has parsed what it knows; with `recurse`,
// also among the words its subcommands left.
std::optional<std::string> leftover(const CLI::App& app, bool chosen, bool recurse = true) {
    const std::vector<std::string> rest = app.remaining(recurse);
    if (rest.empty())
        return std::nullopt;
    if (rest[0].size() > 1 && rest[0][0] == '-')
        return "unknown option '" + rest[0] + "'";
    return chosen ? "unexpected argument '" + rest[0] + "'" : "unknown command '" + rest[0] + "'";
}

// The command's arguments: those CLI11 read, then the words after "--".
// Throws a UsageError when they are too few or too many.
std::vector<std::string> commandArguments(const Command& command, const CLI::App& sub,
                                          std::vector<std::string> args,
                                          const std::vector<std::string>& afterOptions) {
    std::size_t given = 0;
    while (given < args.size() && sub.get_option(command.arguments[given].first)->count() > 0)
        ++given;
    for (const std::string& word : afterOptions) {
        if (given == args.size())
            throw UsageError("unexpected argument '" + word + "'");
        args[given++] = word;
    }
    if (given < args.size())
        throw UsageError(command.arguments[given].first + " is required");
    return args;
}

int usageError(std::ostream& err, const std::string& message) {
    err << "dropcalc-cli: " << message << "\nRun with --help for usage.\n";
    return 2;
}

// Standard output flushed: when it cannot be written, the status says so.
int flushed(int status, std::ostream& out, std::ostream& err) {
    out.flush();
    if (out)
        return status;
    err << "dropcalc-cli: the output could not be written\n";
    return 1;
}

// Runs `step`; an error it raises ends up in `error`, and `memoryRanOut` says
// whether memory ran out.
template <class Step> void capture(std::optional<DropError>& error, bool& memoryRanOut, Step step) {
    try {
        step();
    } catch (const DropError& e) {
        error = e;
    } catch (const std::bad_alloc&) {
        error = cli::outOfMemory();
        memoryRanOut = true;
    } catch (const UsageError&) {
        throw;
    } catch (const std::exception& e) {
        error = DropError(std::string("Unexpected error: ") + e.what());
    } catch (...) {
        error = DropError("Unexpected error.");
    }
}

// The error that ended `command`, as the outputs tell it.
cli::Ending describe(const DropError& error, const Command& command, const Settings& s) {
    // A command that reads no data folder has none to blame.
    bool hasNormalFolder = true;
    if ((command.reads & cli::kDataOption) != 0)
        hasNormalFolder = hasDifficultyFolder(*cli::openDataFolder(s.dataDir), Difficulty::Normal);
    return cli::describeEnding(error, s.dataDir, hasNormalFolder);
}

// Runs the command and prints what it gave and how it ended, whichever way
// that was.
int execute(const Command& command, const Settings& s, const std::vector<std::string>& args,
            std::ostream& out, std::ostream& err) {
    cli::Told told;
    for (const cli::Option option : cli::kOptions) {
        if ((s.given & option) != 0 && (command.reads & option) == 0) {
            told.notes.push_back(std::string(cli::optionName(option)) + " does not change the " +
                                 command.what);
            err << "dropcalc-cli: note: " << told.notes.back() << '\n';
        }
    }
    Outcome outcome;
    std::optional<DropError> error;
    bool memoryRanOut = false;
    capture(error, memoryRanOut, [&] { command.run(s, args, outcome); });
    auto* entries = std::get_if<cli::Entries>(&outcome);
    std::optional<std::string> overHundred;
    if (entries != nullptr) {
        if (s.wide)
            capture(error, memoryRanOut, [&] { widenSeparators(entries->list); });
        capture(error, memoryRanOut, [&] {
            overHundred = overHundredNote(entries->list);
            if (overHundred)
                told.notes.push_back(*overHundred);
            if (entries->search != nullptr)
                told.heading =
                    answerHeading(*entries->search, entries->request, entries->list.count());
        });
    }
    std::optional<cli::Ending> ending;
    if (memoryRanOut) {
        told.ending = &cli::outOfMemoryEnding();
    } else if (error) {
        try {
            told.ending = &ending.emplace(describe(*error, command, s));
        } catch (const std::bad_alloc&) {
            told.ending = &cli::outOfMemoryEnding();
        }
    }
    const cli::Ending* ended = writeOutcome(out, outcome, s, told);
    const auto* report = std::get_if<CheckReport>(&outcome);
    const int status =
        flushed(ended != nullptr || (report != nullptr && report->errors() > 0) ? 1 : 0, out, err);
    if (overHundred)
        err << "dropcalc-cli: note: " << *overHundred << '\n';
    cli::writeDiagnostics(err, ended, entries != nullptr ? entries->note : std::nullopt);
    return status;
}

// `diff` with the words after it, and those after "--" (the first of which
// is "diff" itself when it came after "--").
int runDiffCommand(const CLI::App& app, const CLI::App& diff, const OptionTexts& texts,
                   const std::vector<std::string>& afterOptions, char localeSeparator,
                   std::ostream& out, std::ostream& err) {
    if (const auto mistake = leftover(app, true, false))
        return usageError(err, *mistake);
    std::vector<std::string> words = diff.remaining();
    words.insert(words.end(), afterOptions.begin() + (diff.parsed() ? 0 : 1), afterOptions.end());
    try {
        return cli::runDiff(settingsFrom(app, texts, localeSeparator), words, out, err);
    } catch (const UsageError& e) {
        return usageError(err, e.what());
    }
}

int parseAndRun(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
                char localeSeparator) {
    CLI::App app{"Quarnhold Drop Calculator, command-line tool.\n"
                 "Prints the result entries of a search, one a line, from the data files in\n"
                 "the data directory.",
                 "dropcalc-cli"};
    app.require_subcommand(0, 1);
    app.allow_extras();
    app.fallthrough();
    app.footer(kFooter);
    OptionTexts texts;
    addOptions(app, texts);
    const std::vector<Command>& table = cli::commands();
    // "--" ends the options: every word after it is the command or its
    // arguments, whatever it starts with.
    const auto mark = std::find(words.begin(), words.end(), "--");
    std::vector<std::string> afterOptions(mark == words.end() ? mark : mark + 1, words.end());
    std::vector<std::vector<std::string>> args(table.size());
    std::vector<CLI::App*> subs;
    for (std::size_t i = 0; i < table.size(); ++i)
        subs.push_back(addCommand(app, table[i], args[i], mark == words.end()));
    // diff takes every word after it as its own: two folders, then a search
    // and its arguments or nothing.
    CLI::App* diff = app.add_subcommand("diff", cli::kDiffSummary);
    diff->prefix_command();
    diff->fallthrough(false);
    diff->allow_extras();
    diff->footer("Arguments: OLD NEW [COMMAND ARGS...]\n"
                 "Options that apply, given before the command: those of COMMAND but --data,\n"
                 "--wide and --one-in; without one --mf, --sort, --difficulty (default: all\n"
                 "three), --decimal-separator, --format");
    try {
        // CLI11 takes the words last first.
        app.parse(std::vector<std::string>(std::make_reverse_iterator(mark), words.rend()));
    } catch (const CLI::CallForHelp& e) {
        return flushed(app.exit(e, out, err), out, err);
    } catch (const CLI::CallForAllHelp& e) {
        return flushed(app.exit(e, out, err), out, err);
    } catch (const CLI::CallForVersion& e) {
        return flushed(app.exit(e, out, err), out, err);
    } catch (const CLI::ParseError& e) {
        return usageError(err, e.what());
    }
    std::size_t chosen = 0;
    while (chosen < subs.size() && !subs[chosen]->parsed())
        ++chosen;
    if (diff->parsed() ||
        (chosen == subs.size() && !afterOptions.empty() && afterOptions.front() == "diff"))
        return runDiffCommand(app, *diff, texts, afterOptions, localeSeparator, out, err);
    if (const auto mistake = leftover(app, chosen < subs.size()))
        return usageError(err, *mistake);
    try {
        if (chosen == subs.size()) {
            if (afterOptions.empty())
                throw UsageError("a command is required (see --help)");
            const std::string name = afterOptions.front();
            afterOptions.erase(afterOptions.begin());
            chosen = 0;
            while (chosen < table.size() && table[chosen].name != name)
                ++chosen;
            if (chosen == table.size())
                throw UsageError("unknown command '" + name + "'");
        }
        const Command& command = table[chosen];
        const std::vector<std::string> words =
            commandArguments(command, *subs[chosen], args[chosen], afterOptions);
        const Settings settings = settingsFrom(app, texts, localeSeparator);
        if (command.needsOneDifficulty)
            cli::oneDifficulty(settings);
        if (settings.format == Format::Csv && command.search == nullptr)
            throw UsageError("--format csv: only the searches write CSV");
        return execute(command, settings, words, out, err);
    } catch (const UsageError& e) {
        return usageError(err, e.what());
    }
}

} // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           char localeSeparator, Terminals terminals) {
    std::vector<std::string> words;
    try {
        words.assign(argv + std::min(argc, 1), argv + argc);
    } catch (const std::bad_alloc&) {
        err << "Out of memory.\n" << std::flush;
        return 1;
    }
    return runCli(words, out, err, localeSeparator, terminals);
}

int runCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
           char localeSeparator, Terminals terminals) {
    // Made while there is memory.
    cli::outOfMemory();
    cli::outOfMemoryEnding();
    cli::TerminalBuf outShown(out.rdbuf());
    cli::TerminalBuf errShown(err.rdbuf());
    std::ostream safeOut(&outShown);
    std::ostream safeErr(&errShown);
    std::ostream& o = terminals.out ? safeOut : out;
    std::ostream& e = terminals.err ? safeErr : err;
    int status = 1;
    try {
        status = parseAndRun(words, o, e, localeSeparator);
    } catch (const std::bad_alloc&) {
        e << "Out of memory.\n";
    } catch (const std::exception& error) {
        e << "dropcalc-cli: unexpected error: " << error.what() << '\n';
    }
    e.flush();
    return status;
}

} // namespace qdc
