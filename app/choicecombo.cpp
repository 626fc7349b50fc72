#include "app/choicecombo.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>

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

} // namespace

ChoiceCombo::ChoiceCombo(QWidget* parent) : QComboBox(parent) {
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
    clear();
    addItems(names);
    setCurrentIndex(-1);
    setEditText(text);
    lineEdit()->setCursorPosition(0);
    popupFitted_ = false;
}

void ChoiceCombo::showPopup() {
    takeHeldFont();
    if (!popupFitted_)
        fitPopupWidth();
    QComboBox::showPopup();
}

QSize ChoiceCombo::sizeHint() const {
    takeHeldFont();
    return QComboBox::sizeHint();
}

QSize ChoiceCombo::minimumSizeHint() const {
    takeHeldFont();
    return QComboBox::minimumSizeHint();
}

// The drop-down is at least as wide as its longest name; measured when it
// first opens, so that start-up does not pay for it.
void ChoiceCombo::fitPopupWidth() {
    const QFontMetrics metrics(view()->font());
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
    const int margins = 4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8 +
                        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    view()->setMinimumWidth(std::max(width(), widest + margins));
    popupFitted_ = true;
}

// A combo box answers a font change by making its drop-down, to hand it the
// font. Every box of the window has its font set at start-up, long before any
// drop-down opens, so the change is held until the drop-down or the box's size
// is needed.
void ChoiceCombo::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange &&
        findChild<QFrame*>(QString(), Qt::FindDirectChildrenOnly) == nullptr) {
        fontHeld_ = true;
        // Only the combo box's own answer is held; a widget's is not.
        QWidget::changeEvent(event); // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    QComboBox::changeEvent(event);
}

void ChoiceCombo::takeHeldFont() const {
    if (!fontHeld_)
        return;
    fontHeld_ = false;
    QEvent change(QEvent::FontChange);
    const_cast<ChoiceCombo*>(this)->QComboBox::changeEvent(&change);
}
