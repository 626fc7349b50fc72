#include "app/choicecombo.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>

#include <algorithm>

ChoiceCombo::ChoiceCombo(QWidget* parent) : QComboBox(parent) {
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    // An editable box also raises `activated` when typing ends (Enter, or
    // leaving the box) on a text that equals one of its entries; the box
    // handles the end of typing in a connection of its own, so two
    // connections around it mark that case.
    auto* edit = new QLineEdit(this);
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
    if (!popupFitted_)
        fitPopupWidth();
    QComboBox::showPopup();
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
