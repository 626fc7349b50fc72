#include "app/nametext.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>

namespace {

const std::string kEllipsisBytes = "\xE2\x80\xA6";

bool hasHighByte(const QByteArray& bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) > 127; });
}

bool validUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text)
    return !decoder.hasError();
}

} // namespace

QString NameText::decode(const std::string& bytes) const {
    const auto size = static_cast<qsizetype>(bytes.size());
    return utf8_ ? QString::fromUtf8(bytes.data(), size) : QString::fromLatin1(bytes.data(), size);
}

std::string NameText::encode(const QString& text) const {
    return (utf8_ ? text.toUtf8() : text.toLatin1()).toStdString();
}

QString NameText::decodeMessage(const std::string& bytes) const {
    QString shown;
    std::size_t start = 0;
    for (std::size_t at = bytes.find(kEllipsisBytes); at != std::string::npos;
         at = bytes.find(kEllipsisBytes, start)) {
        shown += decode(bytes.substr(start, at - start)) + QChar(0x2026);
        start = at + kEllipsisBytes.size();
    }
    return shown + decode(bytes.substr(start));
}

bool listsAreUtf8(const QString& folder) {
    static const char* const lists[] = {"Normal/monsterlist.txt",
                                        "Nightmare/monsterlist.txt",
                                        "Hell/monsterlist.txt",
                                        "itemlist.txt",
                                        "setlist.txt",
                                        "unilist.txt"};
    bool high = false;
    for (const char* name : lists) {
        QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        if (!hasHighByte(bytes))
            continue;
        if (!validUtf8(bytes))
            return false;
        high = true;
    }
    return high;
}
