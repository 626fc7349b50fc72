#include "app/droplistview.h"

#include "app/droplistmodel.h"
#include "app/listexport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

const QString kTextFilter = QStringLiteral("Text files (*.txt)");
const QString kCsvFilter = QStringLiteral("CSV files, name and chance (*.csv)");

// Each entry's shown text, ended by a line feed.
QString linesOf(const DropListModel& model, const QList<int>& rows) {
    QString lines;
    for (const int row : rows)
        lines += model.entryText(row) + '\n';
    return lines;
}

} // namespace

DropListView::DropListView(QWidget* parent) : QListView(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    copy_ = new QAction(QStringLiteral("&Copy\tCtrl+C"), this);
    copyAll_ = new QAction(QStringLiteral("Copy &all"), this);
    save_ = new QAction(QStringLiteral("&Save as\u2026"), this);
    connect(copy_, &QAction::triggered, this, &DropListView::copySelected);
    connect(copyAll_, &QAction::triggered, this, &DropListView::copyAll);
    connect(save_, &QAction::triggered, this, &DropListView::saveAs);
}

void DropListView::setDropModel(DropListModel* model) {
    drop_ = model;
    setModel(model);
}

void DropListView::setNote(const QString& note) {
    note_ = note;
    viewport()->update();
}

std::vector<std::string> DropListView::selectedEntries() const {
    std::vector<std::string> entries;
    for (const int row : selectedRowNumbers())
        entries.push_back(drop_->entries().at(row));
    return entries;
}

void DropListView::selectEntries(const std::vector<std::string>& entries) {
    const std::vector<std::string>& all = drop_->entries().entries();
    QItemSelection selection;
    for (const std::string& entry : entries) {
        const auto it = std::find(all.begin(), all.end(), entry);
        if (it == all.end())
            continue;
        const QModelIndex index = drop_->index(static_cast<int>(it - all.begin()));
        selection.select(index, index);
        setCurrentIndex(index);
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QList<int> DropListView::selectedRowNumbers() const {
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DropListView::copySelected() const {
    QApplication::clipboard()->setText(linesOf(*drop_, selectedRowNumbers()));
}

void DropListView::copyAll() const {
    QList<int> rows;
    for (int row = 0; row < drop_->rowCount(); ++row)
        rows.append(row);
    QApplication::clipboard()->setText(linesOf(*drop_, rows));
}

void DropListView::saveAs() {
    QString filter = kTextFilter;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save the list"), QString(), kTextFilter + ";;" + kCsvFilter, &filter);
    if (path.isEmpty())
        return;
    saveTo(path,
           filter == kCsvFilter || path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive));
}

bool DropListView::saveTo(const QString& path, bool csv) {
    const std::vector<std::string>& all = drop_->entries().entries();
    const QString failure =
        saveFile(path, csv ? entriesCsv(all, drop_->shownMode()) : entriesText(all));
    if (failure.isEmpty())
        return true;
    QMessageBox::warning(this, window()->windowTitle(),
                         QStringLiteral("Could not save %1: %2").arg(path, failure));
    return false;
}

void DropListView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelected();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void DropListView::contextMenuEvent(QContextMenuEvent* event) {
    const bool any = drop_->rowCount() > 0;
    copy_->setEnabled(selectionModel()->hasSelection());
    copyAll_->setEnabled(any);
    save_->setEnabled(any);
    QMenu menu(this);
    menu.addActions({copy_, copyAll_, save_});
    if (!actions().isEmpty()) {
        menu.addSeparator();
        menu.addActions(actions());
    }
    menu.exec(event->globalPos());
}

bool DropListView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QListView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    showFullText(help->pos(), help->globalPos());
    return true;
}

// Only an entry wider than the list needs its text in a tooltip.
void DropListView::showFullText(const QPoint& pos, const QPoint& globalPos) {
    const QModelIndex index = indexAt(pos);
    if (index.isValid() && sizeHintForIndex(index).width() > viewport()->width())
        QToolTip::showText(globalPos, index.data().toString(), viewport());
    else
        QToolTip::hideText();
}

void DropListView::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (note_.isEmpty() || (drop_ != nullptr && drop_->rowCount() > 0))
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    const QRect room = viewport()->rect().adjusted(8, 8, -8, -8);
    painter.drawText(room, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, note_);
}
