#include "app/datafolder.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace {

const QString kFolderKey = QStringLiteral("dataFolder");

} // namespace

QSettings dropSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("dropcalc"),
                     QStringLiteral("dropcalc"));
}

bool hasNormalFolder(const QString& folder) {
    return !folder.isEmpty() && QDir(folder).exists(QStringLiteral("Normal"));
}

QString startFolder(const QString& given) {
    if (!given.isEmpty())
        return QDir(given).absolutePath();
    QString current = QDir::currentPath();
    if (hasNormalFolder(current))
        return current;
    QString remembered = dropSettings().value(kFolderKey).toString();
    return hasNormalFolder(remembered) ? remembered : current;
}

void rememberFolder(const QString& folder) {
    if (hasNormalFolder(folder))
        dropSettings().setValue(kFolderKey, folder);
}

std::string localPath(const QString& folder) {
    return QFile::encodeName(folder).toStdString();
}
