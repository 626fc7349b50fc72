#include "app/droplistview.h"

#include "app/answertext.h"
#include "app/droplistmodel.h"
#include "app/listexport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <string_view>
#include <unordered_map>

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

constexpr int kOddsGap = 12; // between an entry and its "1 in N"

// Draws each entry as the list would, and its "1 in N" right-aligned at the
// list's right edge, or after the entry when the entry is wider than that; an
// entry over 100 % says so there instead.
class OddsDelegate final : public QStyledItemDelegate {
  public:
    explicit OddsDelegate(QListView* view) : QStyledItemDelegate(view), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString odds = oddsOf(index);
        if (odds.isEmpty())
            return;
        const QFontMetrics& metrics = option.fontMetrics;
        const int textEnd =
            option.rect.left() + textMargin() + metrics.horizontalAdvance(index.data().toString());
        const int width = metrics.horizontalAdvance(odds);
        const int left =
            std::max(textEnd + kOddsGap, view_->viewport()->width() - textMargin() - width);
        painter->save();
        painter->setPen(option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRect(left, option.rect.top(), width, option.rect.height()),
                          Qt::AlignRight | Qt::AlignVCenter, odds);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (const QString odds = oddsOf(index); !odds.isEmpty())
            size.rwidth() += kOddsGap + option.fontMetrics.horizontalAdvance(odds);
        return size;
    }

  private:
    static QString oddsOf(const QModelIndex& index) {
        if (index.data(DropListModel::OverRole).toBool())
            return QStringLiteral("over 100 %");
        return index.data(DropListModel::OneInRole).toString();
    }
    int textMargin() const {
        return view_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 1;
    }

    QListView* view_;
};

} // namespace

DropListView::DropListView(QWidget* parent) : QListView(parent), banner_(new QLabel(this)) {
    setItemDelegate(new OddsDelegate(this));
    banner_->setObjectName(QStringLiteral("DropListBanner"));
    banner_->setTextFormat(Qt::PlainText);
    banner_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    banner_->setAutoFillBackground(true);
    banner_->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A long answer is laid out a part at a time, between paints.
    setLayoutMode(QListView::Batched);
    setBatchSize(500);
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

void DropListView::setBanner(const QString& heading, const QStringList& notes,
                             const QString& fileName) {
    heading_ = heading;
    notes_ = notes;
    fileName_ = fileName;
    layoutBanner();
}

void DropListView::setBusy(bool busy) {
    busy_ = busy;
    if (busy)
        viewport()->setCursor(Qt::BusyCursor);
    else
        viewport()->unsetCursor();
    layoutBanner();
}

// The banner stands in the list's top margin, in the list's own text colour
// on its alternate base, which the styles keep far apart.
void DropListView::layoutBanner() {
    QStringList paragraphs;
    if (busy_)
        paragraphs.append(QStringLiteral("Searching\u2026"));
    if (!heading_.isEmpty())
        paragraphs.append(heading_);
    paragraphs.append(notes_);
    if (paragraphs.isEmpty()) {
        banner_->hide();
        setViewportMargins(0, 0, 0, 0);
        return;
    }
    QPalette look = banner_->palette();
    look.setColor(QPalette::Window, palette().color(QPalette::AlternateBase));
    look.setColor(QPalette::WindowText, palette().color(QPalette::Text));
    banner_->setPalette(look);
    const int margin = 4;
    const QRect room = contentsRect();
    const int width = room.width() - 2 * margin;
    QStringList lines;
    for (const QString& paragraph : std::as_const(paragraphs))
        lines.append(wrapAtBlanks(paragraph, banner_->fontMetrics(), width));
    banner_->setText(lines.join('\n'));
    banner_->setContentsMargins(margin, margin / 2, margin, margin / 2);
    const int height = banner_->sizeHint().height();
    banner_->setGeometry(room.left(), room.top(), room.width(), height);
    setViewportMargins(0, height, 0, 0);
    banner_->show();
}

void DropListView::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    if (banner_->isVisible())
        layoutBanner();
}

std::vector<std::string> DropListView::selectedEntries() const {
    std::vector<std::string> entries;
    for (const int row : selectedRowNumbers())
        entries.push_back(drop_->entries().at(row));
    return entries;
}

// Each entry's first row, found in one walk over the list, so that a long
// selection takes no longer than the list.
void DropListView::selectEntries(const std::vector<std::string>& entries) {
    const std::vector<std::string>& all = drop_->entries().entries();
    std::unordered_map<std::string_view, int> rows;
    for (const std::string& entry : entries)
        rows.emplace(entry, -1);
    for (int row = static_cast<int>(all.size()) - 1; row >= 0; --row)
        if (const auto found = rows.find(all[static_cast<std::size_t>(row)]); found != rows.end())
            found->second = row;
    QItemSelection selection;
    QModelIndex current;
    for (const std::string& entry : entries) {
        const int row = rows.at(entry);
        if (row < 0)
            continue;
        current = drop_->index(row);
        selection.select(current, current);
    }
    if (current.isValid())
        setCurrentIndex(current);
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
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the list"),
                                                suggestedFileName(fileName_) + ".txt",
                                                kTextFilter + ";;" + kCsvFilter, &filter);
    if (path.isEmpty())
        return;
    const bool csv =
        filter == kCsvFilter || path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) &&
        !path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        path += csv ? QStringLiteral(".csv") : QStringLiteral(".txt");
    saveTo(path, csv);
}

bool DropListView::saveTo(const QString& path, bool csv) {
    const std::vector<std::string>& all = drop_->entries().entries();
    const QString failure =
        saveFile(path, csv ? entriesCsv(all, drop_->shownMode(), drop_->decimalSeparator())
                           : entriesText(all));
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
    showTip(help->pos(), help->globalPos());
    return true;
}

// Only an entry wider than the list needs its text in the tooltip.
void DropListView::showTip(const QPoint& pos, const QPoint& globalPos) {
    const QModelIndex index = indexAt(pos);
    QStringList lines;
    if (index.isValid() && sizeHintForIndex(index).width() > viewport()->width())
        lines.append(index.data().toString());
    if (const QString odds = index.data(Qt::ToolTipRole).toString(); !odds.isEmpty())
        lines.append(odds);
    if (lines.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, lines.join('\n'), viewport());
}
