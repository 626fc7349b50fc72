#include "app/droplistview.h"

#include "app/remembered.h"

#include "app/answertext.h"
#include "app/droplistmodel.h"
#include "app/listexport.h"
#include "results/answer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <unordered_map>

namespace {

const QString kTextFilter = QStringLiteral("Text files (*.txt)");
const QString kCsvFilter = QStringLiteral("CSV files, for a spreadsheet (*.csv)");

// Each entry's shown text, ended by a line feed.
QString linesOf(const DropListModel& model, const QList<int>& rows) {
    QString lines;
    for (const int row : rows)
        lines += model.entryText(row) + '\n';
    return lines;
}

constexpr int kOddsGap = 12; // between an entry and its "1 in N"

// An entry's text with the middle of its name (`pieces`: before the name
// without its difficulty suffix, that name, after it) cut so that the whole
// fits in `room`, or as short as it gets.
QString fittedText(const QStringList& pieces, const QFontMetrics& metrics, int room) {
    if (pieces.size() != 3)
        return {};
    const int others = metrics.horizontalAdvance(pieces[0] + pieces[2]);
    return pieces[0] + metrics.elidedText(pieces[1], Qt::ElideMiddle, std::max(0, room - others)) +
           pieces[2];
}

// Draws each entry as the list would, and its "1 in N" right-aligned in a
// column just after the widest entry (at the list's right edge when that is
// nearer); an entry too wide for the room before that column has the middle
// of its name cut, so that its difficulty, chance and "1 in N" stay in view.
// An entry over 100 % says so in the column instead.
class OddsDelegate final : public QStyledItemDelegate {
  public:
    explicit OddsDelegate(DropListView* view) : QStyledItemDelegate(view), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        const QFontMetrics& metrics = option.fontMetrics;
        item.text = view_->shownText(index);
        view_->style()->drawControl(QStyle::CE_ItemViewItem, &item, painter, view_);
        const QString odds = oddsOf(index);
        if (odds.isEmpty())
            return;
        const int textEnd =
            option.rect.left() + view_->textMargin() + metrics.horizontalAdvance(item.text);
        const int width = metrics.horizontalAdvance(odds);
        const int left = std::max(textEnd + kOddsGap, view_->oddsRight() - width);
        painter->save();
        painter->setPen(option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRect(left, option.rect.top(), width, option.rect.height()),
                          Qt::AlignRight | Qt::AlignVCenter, odds);
        painter->restore();
    }

    // No wider than the list, unless even the shortest cut of the entry is.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QString odds = oddsOf(index);
        if (!odds.isEmpty())
            size.rwidth() += kOddsGap + option.fontMetrics.horizontalAdvance(odds);
        const int list = view_->viewport()->width();
        if (size.width() <= list)
            return size;
        const QStringList pieces = index.data(DropListModel::PiecesRole).toStringList();
        if (pieces.size() != 3)
            return size;
        const int shortest =
            option.fontMetrics.horizontalAdvance(pieces[0] + "\u2026" + pieces[2]) +
            2 * view_->textMargin() + (odds.isEmpty() ? 0 : kOddsGap + view_->oddsWidth());
        size.setWidth(std::max(list, shortest));
        return size;
    }

    static QString oddsOf(const QModelIndex& index) {
        if (index.data(DropListModel::OverRole).toBool())
            return QStringLiteral("over 100 %");
        return index.data(DropListModel::OneInRole).toString();
    }

  private:
    DropListView* view_;
};

} // namespace

DropListView::DropListView(QWidget* parent)
    : QListView(parent), banner_(new QLabel(this)), oddsHead_(new QLabel(this)) {
    setItemDelegate(new OddsDelegate(this));
    oddsHead_->setObjectName(QStringLiteral("DropListOddsHeading"));
    oddsHead_->setText(QStringLiteral("1 in N"));
    oddsHead_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    oddsHead_->hide();
    // The entries' widths follow the list's: laid out again as it resizes.
    setResizeMode(QListView::Adjust);
    banner_->setObjectName(QStringLiteral("DropListBanner"));
    setAccessibleName(QStringLiteral("Results"));
    banner_->setAccessibleName(QStringLiteral("Notes"));
    banner_->setTextFormat(Qt::PlainText);
    banner_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(banner_, &QLabel::linkActivated, this,
            [this](const QString& link) { emit suggestionChosen(link.toInt()); });
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
    connect(model, &QAbstractItemModel::modelReset, this, &DropListView::measureColumns);
}

int DropListView::textMargin() const {
    return style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
}

// The widest entry and "1 in N", measured once an answer is shown.
void DropListView::measureColumns() {
    widestEntry_ = 0;
    oddsWidth_ = 0;
    const QFontMetrics metrics(font());
    for (int row = 0; row < drop_->rowCount(); ++row) {
        const QModelIndex index = drop_->index(row);
        widestEntry_ = std::max(widestEntry_, metrics.horizontalAdvance(drop_->entryText(row)));
        if (const QString odds = OddsDelegate::oddsOf(index); !odds.isEmpty())
            oddsWidth_ = std::max(oddsWidth_, metrics.horizontalAdvance(odds));
    }
    layoutBanner();
}

int DropListView::oddsRight() const {
    const int edge = viewport()->width() - textMargin();
    if (oddsWidth_ == 0)
        return edge;
    return std::min(edge, 2 * textMargin() + widestEntry_ + kOddsGap + oddsWidth_);
}

QString DropListView::shownText(const QModelIndex& index) const {
    QString text = index.data().toString();
    const QFontMetrics metrics(font());
    const int room = textRoom();
    if (metrics.horizontalAdvance(text) <= room)
        return text;
    const QString fitted =
        fittedText(index.data(DropListModel::PiecesRole).toStringList(), metrics, room);
    return fitted.isEmpty() ? text : fitted;
}

int DropListView::textRoom() const {
    return (oddsWidth_ == 0 ? oddsRight() : oddsRight() - oddsWidth_ - kOddsGap) - textMargin();
}

void DropListView::setBanner(const QString& heading, const QStringList& notes,
                             const QString& fileName, const QStringList& suggestions) {
    heading_ = heading;
    notes_ = notes;
    suggestions_ = suggestions;
    // Heard with its heading, as it is seen under it.
    setAccessibleName(heading.isEmpty() ? QStringLiteral("Results")
                                        : QStringLiteral("Results: %1").arg(heading));
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

namespace {

// How a note asks for suggested names: the end of the note that names them
// (qdc::suggestionText()), the line that shows them as links (each to its
// index), and that line as it is heard.
struct Asked {
    QString tail;
    QString links;
    QString plain;
};

Asked askedFor(const QStringList& names) {
    Asked asked;
    if (names.isEmpty())
        return asked;
    QString links;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString before = i == 0                  ? QString()
                               : i + 1 == names.size() ? QStringLiteral(" or ")
                                                       : QStringLiteral(", ");
        asked.tail += before + '"' + names[i] + '"';
        links +=
            before + QStringLiteral("<a href=\"%1\">%2</a>").arg(i).arg(names[i].toHtmlEscaped());
        asked.plain += before + names[i];
    }
    asked.tail = QStringLiteral("; did you mean %1?").arg(asked.tail);
    asked.links = QStringLiteral("Did you mean %1?").arg(links);
    asked.plain = QStringLiteral("Did you mean %1?").arg(asked.plain);
    return asked;
}

} // namespace

// The banner stands in the list's top margin, in the list's own text colour
// on its alternate base, which the styles keep far apart.
void DropListView::layoutBanner() {
    QStringList paragraphs;
    if (busy_)
        paragraphs.append(QStringLiteral("Searching\u2026"));
    if (!heading_.isEmpty())
        paragraphs.append(heading_);
    paragraphs.append(notes_);
    // The suggestions end the last note; they stand on a line of their own,
    // as links.
    const Asked ask = askedFor(suggestions_);
    const QString& asked = ask.links;
    const QString& askedPlain = ask.plain;
    if (!suggestions_.isEmpty() && !paragraphs.isEmpty() && paragraphs.last().endsWith(ask.tail))
        paragraphs.last().chop(ask.tail.size() - 1);
    const QRect room = contentsRect();
    // The heading of the "1 in N" column, over it, under the banner.
    const int headHeight = oddsWidth_ > 0 ? oddsHead_->sizeHint().height() : 0;
    const auto placeHead = [&](int top) {
        oddsHead_->setVisible(headHeight > 0);
        const int width = std::max(oddsWidth_, oddsHead_->sizeHint().width());
        oddsHead_->setGeometry(room.left() + oddsRight() - width, top, width, headHeight);
    };
    if (paragraphs.isEmpty()) {
        banner_->setAccessibleName(QStringLiteral("Notes"));
        banner_->hide();
        placeHead(room.top());
        setViewportMargins(0, headHeight, 0, 0);
        return;
    }
    QPalette look = banner_->palette();
    look.setColor(QPalette::Window, palette().color(QPalette::AlternateBase));
    look.setColor(QPalette::WindowText, palette().color(QPalette::Text));
    banner_->setPalette(look);
    const int margin = 4;
    const int width = room.width() - 2 * margin;
    QStringList lines;
    for (const QString& paragraph : std::as_const(paragraphs))
        lines.append(wrapAtBlanks(paragraph, banner_->fontMetrics(), width));
    if (asked.isEmpty()) {
        banner_->setAccessibleName(paragraphs.join('\n'));
        banner_->setTextFormat(Qt::PlainText);
        banner_->setText(lines.join('\n'));
    } else {
        for (QString& line : lines)
            line = line.toHtmlEscaped();
        lines.append(asked);
        banner_->setAccessibleName(paragraphs.join('\n') + '\n' + askedPlain);
        banner_->setTextFormat(Qt::RichText);
        banner_->setText(QStringLiteral("<div style=\"white-space:pre\">%1</div>")
                             .arg(lines.join(QStringLiteral("<br>"))));
    }
    banner_->setContentsMargins(margin, margin / 2, margin, margin / 2);
    const int height = banner_->sizeHint().height();
    banner_->setGeometry(room.left(), room.top(), room.width(), height);
    placeHead(room.top() + height);
    setViewportMargins(0, height + headHeight, 0, 0);
    banner_->show();
}

void DropListView::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    if (banner_->isVisible() || oddsHead_->isVisible())
        layoutBanner();
}

QList<int> DropListView::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<qdc::EntryParts> DropListView::selectedParts() const {
    std::vector<qdc::EntryParts> parts;
    for (const int row : selectedRows())
        parts.push_back(drop_->entries().parts(row));
    return parts;
}

namespace {

std::string partsKey(const qdc::EntryParts& parts) {
    return parts.name + '\0' + parts.chance + '\0' + parts.difficulty;
}

} // namespace

void DropListView::selectParts(const std::vector<qdc::EntryParts>& parts) {
    std::unordered_map<std::string, int> wanted;
    for (const qdc::EntryParts& p : parts)
        ++wanted[partsKey(p)];
    QItemSelection selection;
    QModelIndex last;
    const std::vector<qdc::EntryParts>& all = drop_->entries().allParts();
    for (std::size_t row = 0; row < all.size() && !wanted.empty(); ++row) {
        const auto it = wanted.find(partsKey(all[row]));
        if (it == wanted.end())
            continue;
        if (--it->second == 0)
            wanted.erase(it);
        last = drop_->index(static_cast<int>(row));
        selection.select(last, last);
    }
    if (last.isValid())
        setCurrentIndex(last);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void DropListView::copySelected() const {
    QApplication::clipboard()->setText(linesOf(*drop_, selectedRows()));
}

void DropListView::copyAll() const {
    QList<int> rows;
    for (int row = 0; row < drop_->rowCount(); ++row)
        rows.append(row);
    QApplication::clipboard()->setText(linesOf(*drop_, rows));
}

void DropListView::saveAs() {
    QString filter = kTextFilter;
    // In the folder a list was last saved to, when there was one.
    QString suggested = suggestedFileName(fileName_) + ".txt";
    if (const QString folder = lastSaveFolder(); !folder.isEmpty() && QDir(folder).exists())
        suggested = QDir(folder).filePath(suggested);
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the list"), suggested,
                                                kTextFilter + ";;" + kCsvFilter, &filter);
    if (path.isEmpty())
        return;
    const bool csv =
        filter == kCsvFilter || path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) &&
        !path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        path += csv ? QStringLiteral(".csv") : QStringLiteral(".txt");
    if (saveTo(path, csv))
        keepSaveFolder(QFileInfo(path).absolutePath());
}

bool DropListView::saveTo(const QString& path, bool csv) {
    const qdc::MemoryResultList& list = drop_->entries();
    const QString failure =
        saveFile(path, csv ? qdc::entriesCsv(list) : entriesText(list.entries()));
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
    if (index.isValid() && shownText(index) != index.data().toString())
        lines.append(index.data().toString());
    if (const QString odds = index.data(Qt::ToolTipRole).toString(); !odds.isEmpty())
        lines.append(odds);
    if (lines.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, lines.join('\n'), viewport());
}
