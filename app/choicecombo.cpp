#include "app/choicecombo.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace {

// A combo box gives a line edit that has no completer one of its own, which
// would complete typed text in place. The boxes share one that is never used,
// so that none is made.
QCompleter* unusedCompleter() {
    static auto* const completer = [] {
        auto* made = new QCompleter;
        made->setCompletionMode(QCompleter::InlineCompletion);
        return made;
    }();
    return completer;
}

// Names this many characters shorter than the longest, or more, are not
// measured; nor are more than kMeasured names.
constexpr qsizetype kShorterMeasured = 2;
constexpr int kMeasured = 2000;

} // namespace

int widestName(const QAbstractItemModel& names, const QFontMetrics& metrics) {
    const int rows = names.rowCount();
    qsizetype longest = 0;
    for (int row = 0; row < rows; ++row)
        longest = std::max(longest, names.index(row, 0).data().toString().size());
    int widest = 0;
    int measured = 0;
    for (int row = 0; row < rows && measured < kMeasured; ++row) {
        const QString name = names.index(row, 0).data().toString();
        if (name.size() + kShorterMeasured < longest)
            continue;
        widest = std::max(widest, metrics.horizontalAdvance(name));
        ++measured;
    }
    return widest;
}

ChoiceCombo::ChoiceCombo(QWidget* parent) : QComboBox(parent) {
    setModel(new QStringListModel(this));
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    // An editable box also raises `activated` when typing ends (Enter, or
    // leaving the box) on a text that equals one of its entries; the box
    // handles the end of typing in a connection of its own, so two
    // connections around it mark that case.
    auto* edit = new QLineEdit(this);
    edit->setCompleter(unusedCompleter());
    connect(edit, &QLineEdit::editingFinished, this, [this] { typing_ = true; });
    setLineEdit(edit);
    connect(edit, &QLineEdit::editingFinished, this, [this] { typing_ = false; });
    connect(edit, &QLineEdit::returnPressed, this, &ChoiceCombo::entered);
    setCompleter(nullptr);
    connect(this, &QComboBox::activated, this, [this] {
        lineEdit()->setCursorPosition(0);
        if (!typing_)
            emit chosen();
    });
}

void ChoiceCombo::setNames(const QStringList& names, const QString& text) {
    if (auto* list = qobject_cast<QStringListModel*>(model()))
        list->setStringList(names);
    showText(text);
}

void ChoiceCombo::showText(const QString& text) {
    setCurrentIndex(-1);
    setEditText(text);
    lineEdit()->setCursorPosition(0);
    popupFitted_ = false;
}

void ChoiceCombo::showPopup() {
    if (!popupFitted_)
        fitPopupWidth();
    QComboBox::showPopup();
}

// The mouse press that gives the focus places the cursor after this event;
// the prompt is selected once it has.
void ChoiceCombo::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    if (prompt_.isEmpty() || currentText() != prompt_)
        return;
    QTimer::singleShot(0, this, [this] {
        if (hasFocus() && currentText() == prompt_)
            lineEdit()->selectAll();
    });
}

// The drop-down is at least as wide as its longest name; measured when it
// first opens, so that start-up does not pay for it.
void ChoiceCombo::fitPopupWidth() {
    const int margins = 4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8 +
                        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    view()->setMinimumWidth(
        std::max(width(), widestName(*model(), QFontMetrics(view()->font())) + margins));
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    popupFitted_ = true;
}
