#include "app/listexport.h"

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

std::pair<std::string, std::string> splitEntry(const std::string& entry) {
    std::size_t at = entry.find('=');
    std::size_t width = 1;
    if (at == std::string::npos) {
        at = entry.find(qdc::kWideSeparator);
        width = qdc::kWideSeparator.size();
    }
    if (at == std::string::npos)
        return {entry, {}};
    return {entry.substr(0, at), entry.substr(at + width)};
}

} // namespace

std::string entriesText(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries)
        text += entry + '\n';
    return text;
}

std::string entriesCsv(const std::vector<std::string>& entries, qdc::SortMode mode) {
    std::string csv = "Name,% Drop Chance\r\n";
    for (const std::string& entry : entries) {
        auto [first, second] = splitEntry(entry);
        if (mode == qdc::SortMode::ChanceFirst)
            std::swap(first, second);
        csv += csvField(first) + ',' + csvField(second) + "\r\n";
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
