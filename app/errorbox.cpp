#include "app/errorbox.h"

#include "app/datafolder.h"
#include "results/error.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>

#include <new>

namespace {

constexpr std::size_t kShownLineBytes = 200;

QString lineShown(const std::string& text, const NameText& names) {
    if (text.size() <= kShownLineBytes)
        return names.decodeMessage(text);
    std::size_t cut = kShownLineBytes;
    // In UTF-8, do not split a character.
    while (names.utf8() && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return names.decodeMessage(text.substr(0, cut)) + QChar(0x2026);
}

// Said when a file could not be opened in a folder that is no data folder.
QString outsideHint(const QString& folder) {
    if (hasNormalFolder(folder))
        return {};
    return QStringLiteral("The data folder %1 has no \"Normal\" folder: the program was most "
                          "likely started outside a data folder. Choose the data folder with "
                          "Ctrl+O.")
        .arg(QDir::toNativeSeparators(folder));
}

QString placeOf(const qdc::DropError& error, const NameText& names, const QString& folder) {
    const qdc::ErrorLocation& where = *error.location();
    const QString path = names.decode(where.path);
    if (where.line > 0)
        return QStringLiteral("in %1, line %2:\n%3")
            .arg(path)
            .arg(where.line)
            .arg(lineShown(where.text, names));
    QString place =
        QStringLiteral("in %1").arg(QDir::toNativeSeparators(QDir(folder).filePath(path)));
    // The data folder itself could not be opened: say what is wrong with it.
    if (where.path == localPath(folder))
        place += QStringLiteral(": ") + names.decodeMessage(error.detail());
    const QString hint = outsideHint(folder);
    return hint.isEmpty() ? place : place + QStringLiteral("\n\n") + hint;
}

// The width a frame needs for `caption` in a bold font a third larger than
// `font`, with its icon and buttons.
int captionRoom(QFont font, const QString& caption) {
    font.setBold(true);
    if (font.pixelSize() > 0)
        font.setPixelSize(font.pixelSize() * 4 / 3);
    else
        font.setPointSizeF(font.pointSizeF() * 4 / 3);
    return QFontMetrics(font).horizontalAdvance(caption) + 160;
}

} // namespace

ErrorReport describeError(const std::exception& error, const NameText& names,
                          const QString& dataFolder) {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr)
        return {QStringLiteral("Out of memory."), {}, {}};
    const auto* drop = dynamic_cast<const qdc::DropError*>(&error);
    if (drop == nullptr)
        return {names.decodeMessage(qdc::boxMessage(error.what())), {}, {}};
    ErrorReport report{names.decodeMessage(qdc::boxMessage(drop->message())),
                       {},
                       names.decodeMessage(drop->detail())};
    // Without a location the error may still come from a folder that is no
    // data folder.
    report.place = drop->location() ? placeOf(*drop, names, dataFolder) : outsideHint(dataFolder);
    return report;
}

void MessageErrorBox::show(QWidget* parent, const ErrorReport& report) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), report.message,
                    QMessageBox::Ok, parent);
    box.setWindowTitle(parent != nullptr ? parent->window()->windowTitle() : box.windowTitle());
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(report.place);
    if (auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    box.setDetailedText(report.details);
    // The caption is drawn in the frame's own, often larger, bold font, next
    // to the frame's buttons: leave room for both.
    const int captionWidth = captionRoom(box.font(), box.windowTitle());
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
}
