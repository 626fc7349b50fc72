#include "results/answer.h"

#include "results/showntext.h"

namespace qdc {

ErrorDescription describeError(const DropError& error, std::string_view dataFolder,
                               bool hasNormalFolder) {
    ErrorDescription d;
    d.message = boxMessage(error.message());
    d.detail = error.detail();
    d.namedBy = error.namedBy();
    if (const auto& where = error.location()) {
        d.path = where->path;
        d.line = where->line;
        if (where->line > 0)
            d.text = shortened(where->text);
        d.dataFolderItself = where->line == 0 && where->path == dataFolder;
    }
    if (d.line > 0)
        d.hint = "Correct the file, then press Reload.";
    else if (!hasNormalFolder)
        d.hint = "The data folder has no \"Normal\" folder: open the data folder itself.";
    else if (!d.path.empty())
        d.hint = "Check that the file is there, then press Reload.";
    return d;
}

ErrorDescription outOfMemoryError() {
    ErrorDescription d;
    d.message = "Out of memory.";
    return d;
}

std::string stoppedNote(const ErrorDescription& error) {
    if (error.path.empty())
        return "Stopped by an error: the list holds only the entries found before it.";
    std::string place = shownText(error.path);
    if (error.line > 0)
        place += ", line " + std::to_string(error.line);
    return "Stopped by an error in " + place + ": the list holds only the entries found before it.";
}

std::optional<std::string> overHundredNote(const MemoryResultList& list) {
    std::string_view first;
    std::size_t over = 0;
    for (const EntryParts& parts : list.allParts()) {
        if (parts.value && *parts.value > 100 && over++ == 0)
            first = parts.name;
    }
    if (over == 0)
        return std::nullopt;
    const std::string name = "\"" + shortened(first) + "\"";
    const std::string chances =
        over == 1 ? "the chance of " + name + " is"
                  : "the chances of " + name + " and " + std::to_string(over - 1) + " more are";
    return chances + " over 100 % (chances added up after a \"-\" line of a drop table)";
}

namespace {

void appendCsvField(std::string& csv, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        csv += field;
        return;
    }
    csv += '"';
    for (const char c : field) {
        if (c == '"')
            csv += '"';
        csv += c;
    }
    csv += '"';
}

void appendNumber(std::string& csv, const std::optional<std::int64_t>& number) {
    if (number)
        csv += std::to_string(*number);
}

} // namespace

std::string entriesCsv(const MemoryResultList& list) {
    std::string csv = "Name,Difficulty,% Drop Chance,1 in N,Kills for 90 %\r\n";
    for (const EntryParts& parts : list.allParts()) {
        appendCsvField(csv, shownText(parts.plainName()));
        csv += ',';
        appendCsvField(csv, parts.difficulty);
        csv += ',';
        appendCsvField(csv, shownText(parts.chance));
        csv += ',';
        appendNumber(csv, parts.odds.oneIn);
        csv += ',';
        appendNumber(csv, parts.odds.kills90);
        csv += "\r\n";
    }
    return csv;
}

} // namespace qdc
