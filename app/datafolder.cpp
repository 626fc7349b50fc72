#include "app/datafolder.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>

namespace {

const QString kFolderKey = QStringLiteral("dataFolder");

// Where the settings file is, found without opening it: settings made for
// the program read their file, and a few around it, as they are made. These
// settings would be the file "probe.ini" in a folder of that name, which no
// one makes, and around it only names no one uses.
QString settingsFile() {
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope,
                          QStringLiteral("dropcalc/dropcalc.ini"), QStringLiteral("probe"));
    return QFileInfo(probe.fileName()).path();
}

} // namespace

std::unique_ptr<QSettings> dropSettings() {
    const QString file = settingsFile();
    const QFileInfo info(file);
    if (info.exists() && !info.isFile()) {
        static QSet<QString> told;
        if (!told.contains(file)) {
            told.insert(file);
            qWarning().noquote() << QStringLiteral("dropcalc: note: %1 is not a regular file: the "
                                                   "window neither reads nor writes its settings")
                                        .arg(QDir::toNativeSeparators(file));
        }
        return nullptr;
    }
    // That file alone: no other is read in its place.
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

bool hasNormalFolder(const QString& folder) {
    return !folder.isEmpty() && QDir(folder).exists(QStringLiteral("Normal"));
}

QString notDataFolderText(const QString& folder) {
    QString text = QStringLiteral("%1 is not a data folder: it has no \"Normal\" folder.")
                       .arg(QDir::toNativeSeparators(folder));
    if (const QString inside = QDir(folder).filePath(QStringLiteral("data"));
        hasNormalFolder(inside))
        text += QStringLiteral(" The folder %1 inside it is one.")
                    .arg(QDir::toNativeSeparators(inside));
    return text;
}

QString startFolder(const QString& given) {
    if (!given.isEmpty())
        return QDir(given).absolutePath();
    QString current = QDir::currentPath();
    if (hasNormalFolder(current))
        return current;
    const std::unique_ptr<QSettings> settings = dropSettings();
    QString remembered = settings ? settings->value(kFolderKey).toString() : QString();
    return hasNormalFolder(remembered) ? remembered : current;
}

void rememberFolder(const QString& folder) {
    if (!hasNormalFolder(folder))
        return;
    if (const std::unique_ptr<QSettings> settings = dropSettings())
        settings->setValue(kFolderKey, folder);
}

std::string localPath(const QString& folder) {
    return QFile::encodeName(folder).toStdString();
}
