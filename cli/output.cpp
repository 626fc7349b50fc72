#include "cli/output.h"

#include "cli/jsonwriter.h"

#include <new>
#include <optional>
#include <ostream>
#include <string_view>

namespace qdc::cli {

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

void writeWholeOrNull(JsonWriter& json, const std::optional<std::int64_t>& n) {
    if (n)
        json.integer(*n);
    else
        json.null();
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

void writeStringOrNull(JsonWriter& json, std::string_view text) {
    if (text.empty())
        json.null();
    else
        json.string(text);
}

} // namespace

void writeJsonErrorFields(JsonWriter& json, const Ending& ending, bool placeOnly) {
    const ErrorDescription& error = ending.error;
    json.key("message");
    json.string(error.message);
    json.key("path");
    if (error.path.empty())
        json.null();
    else
        json.string(error.path);
    json.key("line");
    if (error.line > 0)
        json.integer(error.line);
    else
        json.null();
    json.key("text");
    if (error.line > 0)
        json.string(error.text);
    else
        json.null();
    if (!placeOnly) {
        json.key("named_by");
        if (const auto& namedBy = error.namedBy) {
            json.beginObject();
            json.key("path");
            json.string(namedBy->path);
            json.key("line");
            json.integer(namedBy->line);
            json.key("text"); // null when the search did not keep it
            writeStringOrNull(json, namedBy->text);
            json.end();
        } else {
            json.null();
        }
        json.key("detail");
        writeStringOrNull(json, error.detail);
        json.key("hint");
        writeStringOrNull(json, error.hint);
        json.key("stopped");
        json.string(ending.stopped);
    }
}

namespace {

// The error that ended a command, as an object of its fields.
void writeJsonError(JsonWriter& json, const Ending& ending, bool placeOnly) {
    json.beginObject();
    writeJsonErrorFields(json, ending, placeOnly);
    json.end();
}

void writeJsonEntries(JsonWriter& json, const Outcome& outcome) {
    json.key("entries");
    json.beginArray();
    std::visit(Overloaded{
                   [&](const Entries& e) {
                       for (const EntryParts& parts : e.list.allParts()) {
                           json.beginObject();
                           json.key("name");
                           json.string(parts.name);
                           json.key("chance");
                           json.string(parts.chance);
                           json.key("value");
                           if (parts.value)
                               json.number(*parts.value);
                           else
                               json.null();
                           json.key("one_in");
                           writeWholeOrNull(json, parts.odds.oneIn);
                           json.key("kills_90");
                           writeWholeOrNull(json, parts.odds.kills90);
                           json.key("difficulty");
                           writeStringOrNull(json, parts.difficulty);
                           json.key("plain_name");
                           json.string(parts.plainName());
                           json.end();
                       }
                   },
                   [&](const Names& n) {
                       for (std::size_t i = 0; i < n.names.size(); ++i) {
                           json.beginObject();
                           json.key("name");
                           json.string(n.names[i]);
                           if (i < n.baseSets.size()) {
                               json.key("base_set");
                               json.string(n.baseSets[i]);
                           }
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
        // The search errors that only follow from a list file that cannot be read.
        if (p.follows > 0) {
            json.key("follows");
            json.integer(p.follows);
        }
        json.end();
    }
    json.end();
    json.key("errors");
    json.integer(report.errors());
    json.key("warnings");
    json.integer(report.warnings());
    json.key("files");
    json.integer(report.files);
    json.key("summary");
    json.string(report.summary());
}

// The checker's document: its problems, and the error only when one ended
// the check, told by its place alone.
const Ending* writeJsonReport(std::ostream& out, const CheckReport& report, const Ending* ending) {
    JsonWriter json(out);
    json.beginObject();
    try {
        writeJsonProblems(json, report);
    } catch (const std::bad_alloc&) {
        json.endTo(1);
        ending = &outOfMemoryEnding();
    }
    if (ending != nullptr) {
        json.key("error");
        writeJsonError(json, *ending, true);
    }
    json.endTo(0);
    out << '\n';
    return ending;
}

// The names a search's note offers, and which of its inputs they are for;
// null when it offers none.
void writeJsonSuggestions(JsonWriter& json, const SearchNote& note) {
    json.key("suggestions");
    if (note.suggestions.empty()) {
        json.null();
        return;
    }
    json.beginObject();
    json.key("input");
    json.integer(static_cast<std::int64_t>(note.input));
    json.key("names");
    json.beginArray();
    for (const std::string& name : note.suggestions)
        json.string(name);
    json.end();
    json.end();
}

// Every other document: a search's heading, the entries, the notes, for a
// list of names whether the data folder is written in UTF-8, and the error.
// Nothing it writes after the entries allocates.
const Ending* writeJson(std::ostream& out, const Outcome& outcome, const Told& told) {
    const auto* entries = std::get_if<Entries>(&outcome);
    const auto* names = std::get_if<Names>(&outcome);
    const Ending* ending = told.ending;
    JsonWriter json(out);
    json.beginObject();
    if (entries != nullptr) {
        json.key("heading");
        if (told.heading)
            json.string(*told.heading);
        else
            json.null();
    }
    try {
        writeJsonEntries(json, outcome);
    } catch (const std::bad_alloc&) {
        json.endTo(1);
        ending = &outOfMemoryEnding();
    }
    json.key("notes");
    json.beginArray();
    for (const std::string& note : told.notes)
        json.string(note);
    // The search's own note shows only when no error ended it.
    if (entries != nullptr && entries->note && ending == nullptr)
        json.string(*entries->note);
    json.end();
    if (entries != nullptr)
        writeJsonSuggestions(json, ending == nullptr ? entries->note : SearchNote());
    if (names != nullptr) {
        json.key("utf8");
        if (names->utf8)
            json.boolean(*names->utf8);
        else
            json.null();
    }
    json.key("error");
    if (ending != nullptr)
        writeJsonError(json, *ending, false);
    else
        json.null();
    json.endTo(0);
    out << '\n';
    return ending;
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

// One result entry as a text or TSV line, with its "1 in N" under --one-in.
void writeEntry(std::ostream& out, const std::string& entry, const EntryParts& parts,
                const Settings& s) {
    const auto& oneIn = parts.odds.oneIn;
    if (s.format != Format::Tsv) {
        out << entry;
        if (s.oneIn && oneIn)
            out << " (1 in " << *oneIn << ')';
        out << '\n';
        return;
    }
    writeField(out, parts.name);
    out << '\t';
    writeField(out, parts.chance);
    if (s.oneIn) {
        out << '\t';
        if (oneIn)
            out << *oneIn;
    }
    out << '\n';
}

void writeLines(std::ostream& out, const Outcome& outcome, const Settings& s, bool ended) {
    const bool tsv = s.format == Format::Tsv;
    std::visit(Overloaded{
                   [&](const Entries& e) {
                       if (s.format == Format::Csv) {
                           out << entriesCsv(e.list);
                           return;
                       }
                       for (int i = 0; i < e.list.count(); ++i)
                           writeEntry(out, e.list.at(i), e.list.parts(i), s);
                   },
                   [&](const Names& n) {
                       for (std::size_t i = 0; i < n.names.size(); ++i) {
                           if (tsv)
                               writeField(out, n.names[i]);
                           else
                               out << n.names[i];
                           // A set item and its base set, a tab between.
                           if (i < n.baseSets.size()) {
                               out << '\t';
                               if (tsv)
                                   writeField(out, n.baseSets[i]);
                               else
                                   out << n.baseSets[i];
                           }
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

Ending describeEnding(const DropError& error, std::string_view dataFolder, bool hasNormalFolder) {
    Ending ending;
    ending.error = describeError(error, dataFolder, hasNormalFolder);
    ending.stopped = stoppedNote(ending.error);
    return ending;
}

const Ending& outOfMemoryEnding() {
    static const Ending ending = [] {
        Ending made;
        made.error = outOfMemoryError();
        made.stopped = stoppedNote(made.error);
        return made;
    }();
    return ending;
}

const DropError& outOfMemory() {
    static const DropError error("Out of memory.");
    return error;
}

const Ending* writeOutcome(std::ostream& out, const Outcome& outcome, const Settings& settings,
                           const Told& told) {
    if (settings.format == Format::Json) {
        if (const auto* report = std::get_if<CheckReport>(&outcome))
            return writeJsonReport(out, *report, told.ending);
        return writeJson(out, outcome, told);
    }
    try {
        writeLines(out, outcome, settings, told.ending != nullptr);
    } catch (const std::bad_alloc&) {
        return &outOfMemoryEnding();
    }
    return told.ending;
}

void writeDiagnostics(std::ostream& err, const Ending* ending, const SearchNote& note) {
    if (ending != nullptr) {
        const std::string where = locationLine(ending->error);
        if (!where.empty())
            err << where << '\n';
        err << ending->error.message << '\n';
    } else if (note) {
        err << "dropcalc-cli: note: " << *note << '\n';
    }
}

std::string locationLine(const ErrorDescription& error) {
    if (error.path.empty())
        return {};
    std::string line = "dropcalc-cli: " + error.path;
    if (error.line > 0)
        line += ":" + std::to_string(error.line) + ": " + error.text;
    if (!error.detail.empty())
        line += ": " + error.detail;
    return line;
}

} // namespace qdc::cli
