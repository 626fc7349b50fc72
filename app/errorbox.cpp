#include "app/errorbox.h"

#include "app/datafolder.h"
#include "app/nametext.h"
#include "results/error.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <new>

namespace {

QString shown(const std::string& bytes) {
    return NameText::decode(bytes);
}

// "in PATH, line N:" and the line's text for a line of a file; for a file as
// a whole, its path in the data folder, with the system's words when the
// data folder itself could not be opened, and the monster-list line that
// names a drop table; then the hint.
QString placeOf(const qdc::ErrorDescription& d, const QString& folder) {
    QString place;
    if (d.line > 0) {
        place =
            QStringLiteral("in %1, line %2:\n%3").arg(shown(d.path)).arg(d.line).arg(shown(d.text));
    } else if (!d.path.empty()) {
        place = QStringLiteral("in %1").arg(
            QDir::toNativeSeparators(QDir(folder).filePath(shown(d.path))));
        if (d.dataFolderItself)
            place += QStringLiteral(": ") + shown(d.detail);
        if (d.namedBy)
            place += QStringLiteral("\n(named by %1, line %2)")
                         .arg(shown(d.namedBy->path))
                         .arg(d.namedBy->line);
    }
    if (d.hint.empty())
        return place;
    return place.isEmpty() ? shown(d.hint) : place + QStringLiteral("\n\n") + shown(d.hint);
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

ErrorReport describeError(const std::exception& error, const QString& dataFolder) {
    qdc::ErrorDescription d;
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        d = qdc::outOfMemoryError();
    } else {
        const auto* drop = dynamic_cast<const qdc::DropError*>(&error);
        d = qdc::describeError(drop != nullptr ? *drop : qdc::DropError(error.what()),
                               localPath(dataFolder), hasNormalFolder(dataFolder));
    }
    return {shown(d.message), placeOf(d, dataFolder), shown(d.detail), {}, std::move(d)};
}

ErrorReport describeError(const std::exception_ptr& failure, const QString& dataFolder) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return describeError(e, dataFolder);
    } catch (...) {
        return describeError(qdc::DropError("Unexpected error."), dataFolder);
    }
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
    QAbstractButton* choose = nullptr;
    if (report.chooseFolder) {
        choose = box.addButton(QStringLiteral("Choose data folder\u2026"), QMessageBox::ActionRole);
        box.setDefaultButton(qobject_cast<QPushButton*>(choose));
    }
    // The caption is drawn in the frame's own, often larger, bold font, next
    // to the frame's buttons: leave room for both.
    const int captionWidth = captionRoom(box.font(), box.windowTitle());
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
    if (choose != nullptr && box.clickedButton() == choose)
        report.chooseFolder();
}
