#include "cli/output.h"

#include "results/convert.h"
#include "results/odds.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <ostream>

namespace qdc::cli {

namespace {

using json = nlohmann::ordered_json;

// Whether `text` is well-formed UTF-8 (overlong forms and surrogates are
// left to the JSON library, which checks again).
bool isUtf8(const std::string& text) {
    std::size_t follow = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (follow > 0) {
            if ((byte & 0xC0) != 0x80)
                return false;
            --follow;
        } else if (byte >= 0xF8 || (byte >= 0x80 && byte < 0xC2)) {
            return false;
        } else if (byte >= 0xC2) {
            follow = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
        }
    }
    return follow == 0;
}

// The data files hold single-byte text; JSON wants UTF-8. Text that is
// UTF-8 already stays as it is.
std::string toUtf8(const std::string& text) {
    if (isUtf8(text))
        return text;
    std::string utf8;
    utf8.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

json text(const std::string& s) {
    return toUtf8(s);
}

struct Split {
    std::string name;
    std::string chance;
};

// An entry cut into its name and chance text. The chance text never holds
// the separator, so it is found first in "chance=name" and last in
// "name=chance".
Split splitEntry(const std::string& entry, const Settings& s) {
    const std::string sep = s.wide ? kWideSeparator : std::string("=");
    const bool nameFirst = s.mode() == SortMode::NameFirst;
    const std::size_t at = nameFirst ? entry.rfind(sep) : entry.find(sep);
    if (at == std::string::npos)
        return {entry, {}};
    const std::string before = entry.substr(0, at);
    const std::string after = entry.substr(at + sep.size());
    return nameFirst ? Split{before, after} : Split{after, before};
}

std::optional<double> chanceNumber(const std::string& chance, char separator) {
    try {
        return toFloat(withSeparator(chance, separator), separator);
    } catch (const DropError&) {
        return std::nullopt;
    }
}

json chanceValue(const std::string& chance, char separator) {
    const std::optional<double> value = chanceNumber(chance, separator);
    return value ? json(*value) : json(nullptr);
}

// The odds of an entry's chance text, none when it does not read back.
Odds entryOdds(const std::string& chance, char separator) {
    const std::optional<double> value = chanceNumber(chance, separator);
    return value ? oddsFor(*value) : Odds{};
}

} // namespace

SearchNote overHundredNote(const Outcome& outcome, const Settings& settings) {
    std::string first;
    std::size_t over = 0;
    for (const std::string& entry : outcome.results.entries()) {
        const Split split = splitEntry(entry, settings);
        const std::optional<double> value = chanceNumber(split.chance, settings.decimalSeparator);
        if (value && *value > 100 && over++ == 0)
            first = split.name;
    }
    if (over == 0)
        return std::nullopt;
    const std::string chances = over == 1 ? "the chance of \"" + shortened(first) + "\" is"
                                          : "the chances of \"" + shortened(first) + "\" and " +
                                                std::to_string(over - 1) + " more are";
    return chances + " over 100 % (chances added up after a \"-\" line of a drop table)";
}

namespace {

json wholeOrNull(const std::optional<std::int64_t>& n) {
    return n ? json(*n) : json(nullptr);
}

// What --one-in adds to a text line: " (1 in N)", nothing without an N.
std::string oneInSuffix(const Odds& odds) {
    return odds.oneIn ? " (1 in " + std::to_string(*odds.oneIn) + ")" : std::string();
}

json jsonEntries(const Outcome& o, const Settings& s) {
    json entries = json::array();
    switch (o.shape) {
    case Shape::Results:
        for (const std::string& entry : o.results.entries()) {
            const Split split = splitEntry(entry, s);
            const Odds odds = entryOdds(split.chance, s.decimalSeparator);
            entries.push_back({{"name", text(split.name)},
                               {"chance", text(split.chance)},
                               {"value", chanceValue(split.chance, s.decimalSeparator)},
                               {"one_in", wholeOrNull(odds.oneIn)},
                               {"kills_90", wholeOrNull(odds.kills90)}});
        }
        break;
    case Shape::Names:
        for (const std::string& name : o.names)
            entries.push_back({{"name", text(name)}});
        break;
    default:
        for (const auto& [label, value] : o.numbers)
            entries.push_back({{"name", label}, {"value", value}});
    }
    return entries;
}

json jsonError(const DropError* error) {
    if (error == nullptr)
        return nullptr;
    json e = {{"message", text(boxMessage(error->message()))},
              {"path", nullptr},
              {"line", nullptr},
              {"text", nullptr}};
    if (const auto& where = error->location()) {
        e["path"] = text(where->path);
        if (where->line > 0) {
            e["line"] = where->line;
            e["text"] = text(shortened(where->text));
        }
    }
    return e;
}

const char* severityName(Severity s) {
    return s == Severity::Error ? "error" : "warning";
}

json jsonProblems(const CheckReport& report) {
    json problems = json::array();
    for (const Problem& p : report.problems)
        problems.push_back({{"path", text(p.path)},
                            {"line", p.line > 0 ? json(p.line) : json(nullptr)},
                            {"severity", severityName(p.severity)},
                            {"message", text(p.message)}});
    return {{"problems", problems},
            {"errors", report.errors()},
            {"warnings", report.warnings()},
            {"files", report.files}};
}

void writeProblems(std::ostream& out, const CheckReport& report, Format format) {
    for (const Problem& p : report.problems) {
        if (format == Format::Tsv) {
            out << p.path << '\t' << p.line << '\t' << severityName(p.severity) << '\t' << p.message
                << '\n';
            continue;
        }
        out << p.path;
        if (p.line > 0)
            out << ':' << p.line;
        out << ": " << severityName(p.severity) << ": " << p.message << '\n';
    }
    if (format == Format::Text)
        out << report.errors() << " errors, " << report.warnings() << " warnings in "
            << report.files << " files\n";
}

void writeLines(std::ostream& out, const Outcome& o, const Settings& s, Format format) {
    switch (o.shape) {
    case Shape::Results:
        for (const std::string& entry : o.results.entries()) {
            if (format == Format::Text && !s.oneIn) {
                out << entry << '\n';
                continue;
            }
            const Split split = splitEntry(entry, s);
            const Odds odds = s.oneIn ? entryOdds(split.chance, s.decimalSeparator) : Odds{};
            if (format == Format::Text)
                out << entry << oneInSuffix(odds) << '\n';
            else if (s.oneIn)
                out << split.name << '\t' << split.chance << '\t'
                    << (odds.oneIn ? std::to_string(*odds.oneIn) : std::string()) << '\n';
            else
                out << split.name << '\t' << split.chance << '\n';
        }
        break;
    case Shape::Names:
        for (const std::string& name : o.names)
            out << name << '\n';
        break;
    default:
        for (const auto& [label, value] : o.numbers) {
            if (format == Format::Tsv)
                out << label << '\t';
            out << value << '\n';
        }
    }
}

} // namespace

Format parseFormat(const std::string& name) {
    return name == "json" ? Format::Json : name == "tsv" ? Format::Tsv : Format::Text;
}

void writeOutcome(std::ostream& out, const Outcome& outcome, const Settings& settings,
                  Format format, const DropError* error) {
    if (format == Format::Json) {
        const json doc =
            outcome.shape == Shape::Problems
                ? jsonProblems(outcome.report)
                : json{{"entries", jsonEntries(outcome, settings)}, {"error", jsonError(error)}};
        out << doc.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
    } else if (outcome.shape == Shape::Problems) {
        writeProblems(out, outcome.report, format);
    } else {
        writeLines(out, outcome, settings, format);
    }
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
