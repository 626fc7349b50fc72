#include "cli/run.h"

#include "cli/commands.h"
#include "cli/output.h"
#include "results/error.h"

#include <CLI/CLI.hpp>

#include <new>
#include <optional>
#include <ostream>

namespace qdc {

namespace {

using cli::Command;
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
    "for check. json prints {\"entries\": [...], \"error\": null}, each entry {\"name\",\n"
    "\"chance\", \"value\", \"one_in\", \"kills_90\"} for a search, {\"name\"} for list and\n"
    "set-items, {\"name\", \"value\"} for mf; check prints {\"problems\": [...], \"errors\",\n"
    "\"warnings\", \"files\"}. For a chance of c %, N is 100 / c rounded (1 in N), and\n"
    "kills_90 the kills that drop it with 90 % certainty.\n"
    "\n"
    "Exit status: 0 when the command ran to its end; 1 when the data files stopped it\n"
    "(the entries found before are printed, the message is the last line on standard\n"
    "error, the line before it says where), when check found errors, or when the\n"
    "output could not be written; 2 for a mistake on the command line.";

// A separator that a number text could hold otherwise would make numbers
// ambiguous.
std::string checkSeparator(const std::string& s) {
    const std::string refused = "0123456789+-Ee= \t\n\r\v\f";
    if (s.size() != 1 || refused.find(s[0]) != std::string::npos)
        return "must be one character, not a digit, a sign, 'E', 'e', '=' or a blank";
    return {};
}

void addOptions(CLI::App& app, Settings& s, std::string& separator) {
    app.add_option("--data", s.dataDir, "Data directory (default: the current directory)")
        ->type_name("DIR");
    app.add_option("--sort", s.sort,
                   "Sort mode: name (name first), chance (chance first) or highest (chance "
                   "first, highest chance first)")
        ->check(CLI::IsMember({"name", "chance", "highest"}))
        ->type_name("MODE")
        ->capture_default_str();
    app.add_option("--mf", s.magicFind,
                   "Text of the magic-find box, read by the unique and set searches")
        ->type_name("TEXT")
        ->capture_default_str();
    app.add_option("--difficulty", s.difficulty,
                   "Comma-separated subset of normal, nightmare, hell (empty: none); "
                   "monster, unique-monster and set-monster need exactly one")
        ->type_name("LIST")
        ->capture_default_str();
    app.add_option("--decimal-separator", separator,
                   "Decimal separator, one character (default: the locale's)")
        ->check(checkSeparator)
        ->type_name("C");
    app.add_flag("--wide", s.wide, "Replace each \"=\" of the entries by ten blanks");
    app.add_flag("--one-in", s.oneIn, "Add \" (1 in N)\" to each entry (a third column N in tsv)");
    app.add_option("--format", s.format, "Output format: text, tsv or json")
        ->check(CLI::IsMember({"text", "tsv", "json"}))
        ->type_name("FORMAT")
        ->capture_default_str();
    app.set_version_flag("--version",
                         std::string("dropcalc-cli ") + DROPCALC_VERSION + "\nLicense: MIT");
}

// One subcommand a command of the table, its arguments stored in `args`.
CLI::App* addCommand(CLI::App& app, const Command& command, std::vector<std::string>& args) {
    CLI::App* sub = app.add_subcommand(command.name, command.summary);
    args.resize(command.arguments.size());
    for (std::size_t i = 0; i < args.size(); ++i)
        sub->add_option(command.arguments[i].first, args[i], command.arguments[i].second)
            ->required();
    sub->footer("Options that apply, given before the command:\n  " + command.options);
    return sub;
}

// The mistake left over once CLI11 has parsed what it knows.
std::optional<std::string> leftover(const CLI::App& app, bool chosen) {
    const std::vector<std::string> rest = app.remaining(true);
    if (rest.empty())
        return chosen ? std::nullopt
                      : std::optional<std::string>("a command is required (see --help)");
    if (rest[0].size() > 1 && rest[0][0] == '-')
        return "unknown option '" + rest[0] + "'";
    return chosen ? "unexpected argument '" + rest[0] + "'" : "unknown command '" + rest[0] + "'";
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

// Prints what the command gave and how it ended, whichever way that was.
int finish(const Outcome& outcome, const Settings& s, const std::optional<DropError>& error,
           std::ostream& out, std::ostream& err) {
    writeOutcome(out, outcome, s, cli::parseFormat(s.format), error ? &*error : nullptr);
    const int status = flushed(error || outcome.report.errors() > 0 ? 1 : 0, out, err);
    if (const SearchNote over = cli::overHundredNote(outcome, s))
        err << "dropcalc-cli: note: " << *over << '\n';
    cli::writeDiagnostics(err, error ? &*error : nullptr, outcome.note);
    return status;
}

// Runs the command: every error it raises ends up here.
int execute(const Command& command, const Settings& s, const std::vector<std::string>& args,
            std::ostream& out, std::ostream& err) {
    Outcome outcome;
    std::optional<DropError> error;
    try {
        command.run(s, args, outcome);
    } catch (const UsageError& e) {
        return usageError(err, e.message);
    } catch (const DropError& e) {
        error = e;
    } catch (const std::bad_alloc&) {
        error = DropError("Out of memory.");
    } catch (const std::exception& e) {
        error = DropError(std::string("Unexpected error: ") + e.what());
    } catch (...) {
        error = DropError("Unexpected error.");
    }
    if (s.wide)
        widenSeparators(outcome.results);
    return finish(outcome, s, error, out, err);
}

int parseAndRun(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                char localeSeparator) {
    CLI::App app{"Quarnhold Drop Calculator, command-line tool.\n"
                 "Prints the result entries of a search, one a line, from the data files in\n"
                 "the data directory.",
                 "dropcalc-cli"};
    app.require_subcommand(0, 1);
    app.allow_extras();
    app.fallthrough();
    app.footer(kFooter);
    Settings settings;
    std::string separator;
    addOptions(app, settings, separator);
    const std::vector<Command>& table = cli::commands();
    std::vector<std::vector<std::string>> args(table.size());
    std::vector<CLI::App*> subs;
    for (std::size_t i = 0; i < table.size(); ++i)
        subs.push_back(addCommand(app, table[i], args[i]));
    try {
        app.parse(argc, argv);
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
    if (const auto mistake = leftover(app, chosen < subs.size()))
        return usageError(err, *mistake);
    settings.decimalSeparator = separator.empty() ? localeSeparator : separator[0];
    return execute(table[chosen], settings, args[chosen], out, err);
}

} // namespace

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           char localeSeparator) {
    try {
        return parseAndRun(argc, argv, out, err, localeSeparator);
    } catch (const std::bad_alloc&) {
        err << "Out of memory.\n";
    } catch (const std::exception& e) {
        err << "dropcalc-cli: unexpected error: " << e.what() << '\n';
    }
    return 1;
}

} // namespace qdc
