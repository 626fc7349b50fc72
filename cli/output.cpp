#include "cli/output.h"

#include "cli/jsonwriter.h"
#include "results/convert.h"

#include <new>
#include <optional>
#include <ostream>
#include <string_view>

namespace qdc::cli {

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

struct Split {
    std::string_view name;
    std::string_view chance;
};

// An entry cut into its name and chance text. The chance text never holds
// the separator, so it is found first in "chance=name" and last in
// "name=chance".
Split splitEntry(std::string_view entry, const Settings& s) {
    const std::string_view sep = s.wide ? std::string_view(kWideSeparator) : "=";
    const bool nameFirst = s.sort == SortMode::NameFirst;
    const std::size_t at = nameFirst ? entry.rfind(sep) : entry.find(sep);
    if (at == std::string_view::npos)
        return {entry, {}};
    const std::string_view before = entry.substr(0, at);
    const std::string_view after = entry.substr(at + sep.size());
    return nameFirst ? Split{before, after} : Split{after, before};
}

std::optional<double> chanceValue(std::string_view chance, char separator) {
    try {
        return toFloat(withSeparator(std::string(chance), separator), separator);
    } catch (const DropError&) {
        return std::nullopt;
    }
}

// A field of a TSV line: TAB, line feed, carriage return and backslash
// escaped, so that every line has the same number of fields.
void writeField(std::ostream& out, std::string_view field) {
    for (const char c : field) {
        switch (c) {
        case '\t':
            out << "\\t";
            break;
        case '\n':
            out << "\\n";
            break;
        case '\r':
            out << "\\r";
            break;
        case '\\':
            out << "\\\\";
            break;
        default:
            out.put(c);
        }
    }
}

const char* severityName(Severity s) {
    return s == Severity::Error ? "error" : "warning";
}

void writeJsonError(JsonWriter& json, const DropError& error) {
    json.beginObject();
    json.key("message");
    json.string(boxMessage(error.message()));
    const auto& where = error.location();
    json.key("path");
    if (where)
        json.string(where->path);
    else
        json.null();
    json.key("line");
    if (where && where->line > 0)
        json.integer(where->line);
    else
        json.null();
    json.key("text");
    if (where && where->line > 0) {
        json.string(shortened(where->text));
    } else {
        json.null();
    }
    json.end();
}

void writeJsonEntries(JsonWriter& json, const Outcome& outcome, const Settings& s) {
    json.key("entries");
    json.beginArray();
    std::visit(Overloaded{
                   [&](const Entries& e) {
                       for (const std::string& entry : e.list.entries()) {
                           const Split split = splitEntry(entry, s);
                           json.beginObject();
                           json.key("name");
                           json.string(split.name);
                           json.key("chance");
                           json.string(split.chance);
                           json.key("value");
                           if (const auto value = chanceValue(split.chance, s.decimalSeparator))
                               json.number(*value);
                           else
                               json.null();
                           json.end();
                       }
                   },
                   [&](const Names& n) {
                       for (const std::string& name : n.names) {
                           json.beginObject();
                           json.key("name");
                           json.string(name);
                           json.end();
                       }
                   },
                   [&](const Figures& f) {
                       for (const auto& [label, value] : f.numbers) {
                           json.beginObject();
                           json.key("name");
                           json.string(label);
                           json.key("value");
                           json.integer(value);
                           json.end();
                       }
                   },
                   [](const CheckReport&) {},
               },
               outcome);
    json.end();
}

void writeJsonProblems(JsonWriter& json, const CheckReport& report) {
    json.key("problems");
    json.beginArray();
    for (const Problem& p : report.problems) {
        json.beginObject();
        json.key("path");
        json.string(p.path);
        json.key("line");
        if (p.line > 0)
            json.integer(p.line);
        else
            json.null();
        json.key("severity");
        json.string(severityName(p.severity));
        json.key("message");
        json.string(p.message);
        json.end();
    }
    json.end();
    json.key("errors");
    json.integer(report.errors());
    json.key("warnings");
    json.integer(report.warnings());
    json.key("files");
    json.integer(report.files);
}

const DropError* writeJson(std::ostream& out, const Outcome& outcome, const Settings& s,
                           const DropError* error) {
    JsonWriter json(out);
    json.beginObject();
    const auto* report = std::get_if<CheckReport>(&outcome);
    try {
        if (report != nullptr)
            writeJsonProblems(json, *report);
        else
            writeJsonEntries(json, outcome, s);
    } catch (const std::bad_alloc&) {
        json.endTo(1);
        error = &outOfMemory();
    }
    // The checker's document names an error only when one ended the check.
    if (report == nullptr || error != nullptr) {
        json.key("error");
        if (error != nullptr)
            writeJsonError(json, *error);
        else
            json.null();
    }
    json.endTo(0);
    out << '\n';
    return error;
}

// The problems, and in text the summary, unless an error ended the check:
// then no summary claims to count every problem.
void writeProblems(std::ostream& out, const CheckReport& report, Format format, bool ended) {
    for (const Problem& p : report.problems) {
        if (format == Format::Tsv) {
            writeField(out, p.path);
            out << '\t' << p.line << '\t' << severityName(p.severity) << '\t';
            writeField(out, p.message);
            out << '\n';
            continue;
        }
        out << p.path;
        if (p.line > 0)
            out << ':' << p.line;
        out << ": " << severityName(p.severity) << ": " << p.message << '\n';
    }
    if (format == Format::Text && !ended)
        out << report.errors() << " errors, " << report.warnings() << " warnings in "
            << report.files << " files\n";
}

void writeLines(std::ostream& out, const Outcome& outcome, const Settings& s, bool ended) {
    const bool tsv = s.format == Format::Tsv;
    std::visit(Overloaded{
                   [&](const Entries& e) {
                       for (const std::string& entry : e.list.entries()) {
                           if (!tsv) {
                               out << entry << '\n';
                               continue;
                           }
                           const Split split = splitEntry(entry, s);
                           writeField(out, split.name);
                           out << '\t';
                           writeField(out, split.chance);
                           out << '\n';
                       }
                   },
                   [&](const Names& n) {
                       for (const std::string& name : n.names) {
                           if (tsv)
                               writeField(out, name);
                           else
                               out << name;
                           out << '\n';
                       }
                   },
                   [&](const Figures& f) {
                       for (const auto& [label, value] : f.numbers) {
                           if (tsv)
                               out << label << '\t';
                           out << value << '\n';
                       }
                   },
                   [&](const CheckReport& report) { writeProblems(out, report, s.format, ended); },
               },
               outcome);
}

} // namespace

const DropError& outOfMemory() {
    static const DropError error("Out of memory.");
    return error;
}

const DropError* writeOutcome(std::ostream& out, const Outcome& outcome, const Settings& settings,
                              const DropError* error) {
    if (settings.format == Format::Json)
        return writeJson(out, outcome, settings, error);
    try {
        writeLines(out, outcome, settings, error != nullptr);
    } catch (const std::bad_alloc&) {
        return &outOfMemory();
    }
    return error;
}

void writeDiagnostics(std::ostream& err, const DropError* error, const SearchNote& note) {
    if (error != nullptr) {
        const std::string where = locationLine(*error);
        if (!where.empty())
            err << where << '\n';
        err << boxMessage(error->message()) << '\n';
    } else if (note) {
        err << "dropcalc-cli: note: " << *note << '\n';
    }
}

std::string locationLine(const DropError& error) {
    const auto& where = error.location();
    if (!where)
        return {};
    std::string line = "dropcalc-cli: " + where->path;
    if (where->line > 0)
        line += ":" + std::to_string(where->line) + ": " + shortened(where->text);
    if (!error.detail().empty())
        line += ": " + error.detail();
    return line;
}

} // namespace qdc::cli
