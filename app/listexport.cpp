#include "app/listexport.h"

#include <QSaveFile>

std::string entriesText(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries)
        text += entry + '\n';
    return text;
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
