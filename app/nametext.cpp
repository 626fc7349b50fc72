#include "app/nametext.h"

#include "data/filesource.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

const std::string kEllipsisBytes = "\xE2\x80\xA6";

bool hasHighByte(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) > 127; });
}

// Decoded a piece at a time, so that a huge list never needs its text whole;
// a piece never ends inside a character.
bool validUtf8(std::string_view bytes) {
    constexpr std::size_t kPiece = std::size_t{64} * 1024;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    while (!bytes.empty()) {
        std::size_t cut = std::min(kPiece, bytes.size());
        for (int back = 0; back < 3 && cut < bytes.size() &&
                           (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80;
             ++back)
            --cut;
        const QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(cut)));
        Q_UNUSED(text)
        if (decoder.hasError())
            return false;
        bytes.remove_prefix(cut);
    }
    return true;
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

bool listsAreUtf8(qdc::FileSource& files) {
    static const char* const lists[] = {"Normal/monsterlist.txt",
                                        "Nightmare/monsterlist.txt",
                                        "Hell/monsterlist.txt",
                                        "itemlist.txt",
                                        "setlist.txt",
                                        "unilist.txt"};
    bool high = false;
    for (const char* name : lists) {
        std::shared_ptr<const qdc::FileLines> file;
        try {
            file = files.read(name);
        } catch (const qdc::DropError&) {
            continue;
        }
        if (!hasHighByte(file->bytes))
            continue;
        if (!validUtf8(file->bytes))
            return false;
        high = true;
    }
    return high;
}
