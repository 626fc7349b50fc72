#include "app/listexport.h"

#include "results/convert.h"
#include "results/odds.h"

#include <QSaveFile>

namespace {

std::string csvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string numberField(const std::optional<std::int64_t>& number) {
    return number ? std::to_string(*number) : std::string();
}

} // namespace

std::pair<std::string, std::string> entryParts(const std::string& entry, qdc::SortMode mode) {
    std::size_t at = entry.find('=');
    std::size_t width = 1;
    if (at == std::string::npos) {
        at = entry.find(qdc::kWideSeparator);
        width = qdc::kWideSeparator.size();
    }
    std::pair<std::string, std::string> parts{entry, {}};
    if (at != std::string::npos)
        parts = {entry.substr(0, at), entry.substr(at + width)};
    if (mode != qdc::SortMode::NameFirst)
        std::swap(parts.first, parts.second);
    return parts;
}

std::optional<double> entryChance(const std::string& entry, qdc::SortMode mode,
                                  char decimalSeparator) {
    try {
        return qdc::toFloat(qdc::withSeparator(entryParts(entry, mode).second, decimalSeparator),
                            decimalSeparator);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string entriesText(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries)
        text += entry + '\n';
    return text;
}

std::string entriesCsv(const std::vector<std::string>& entries, qdc::SortMode mode,
                       char decimalSeparator) {
    std::string csv = "Name,% Drop Chance,1 in N,Kills for 90 %\r\n";
    for (const std::string& entry : entries) {
        const auto [name, chance] = entryParts(entry, mode);
        qdc::Odds odds;
        if (const std::optional<double> value = entryChance(entry, mode, decimalSeparator))
            odds = qdc::oddsFor(*value);
        csv += csvField(name) + ',' + csvField(chance) + ',' + numberField(odds.oneIn) + ',' +
               numberField(odds.kills90) + "\r\n";
    }
    return csv;
}

QString saveFile(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (!file.commit())
        return file.errorString();
    return {};
}
