#include "app/namecompletion.h"

#include "app/choicecombo.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QStyle>

#include <algorithm>

namespace {

using Picked = std::function<void(const QModelIndex&)>;

// Enter with no suggestion highlighted picks the only one offered. Seen
// before the completer's own handling of the key, which picks the
// highlighted one.
class OnlyNameOnEnter final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* popup = static_cast<QAbstractItemView*>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !popup->currentIndex().isValid() &&
            popup->model()->rowCount() == 1)
            popup->setCurrentIndex(popup->model()->index(0, 0));
        return false;
    }
};

// The completer is not the line edit's own: a line edit writes each
// highlighted suggestion into its text, this one writes only the picked one.
QCompleter* makeCompleter(ChoiceCombo* box, QAbstractItemModel* names, const Picked& picked) {
    QLineEdit* edit = box->lineEdit();
    auto* completer = new QCompleter(names, box);
    completer->setObjectName(box->objectName() + QStringLiteral("Names"));
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setWidget(edit);
    auto* popup = qobject_cast<QListView*>(completer->popup());
    if (popup != nullptr)
        popup->setUniformItemSizes(true);
    completer->popup()->installEventFilter(new OnlyNameOnEnter(completer));
    // The popup is a window of its own: it shows the names in the box's font.
    completer->popup()->setFont(box->font());
    if (picked) {
        QObject::connect(completer, qOverload<const QModelIndex&>(&QCompleter::activated), box,
                         [completer, picked](const QModelIndex& index) {
                             // The index is the completer's own, of the names it offers.
                             const auto* offered = qobject_cast<const QAbstractProxyModel*>(
                                 completer->completionModel());
                             picked(offered != nullptr ? offered->mapToSource(index) : index);
                         });
        return completer;
    }
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), box,
                     [box, edit](const QString& name) {
                         edit->setText(name);
                         edit->setCursorPosition(0);
                         box->enter();
                     });
    return completer;
}

// As wide as the box, or as the longest name of the list; measured once for
// each list the box is given.
int popupWidth(ChoiceCombo* box, QCompleter* completer) {
    constexpr const char* kWidest = "widestName";
    QVariant widest = completer->property(kWidest);
    if (!widest.isValid()) {
        QAbstractItemView* popup = completer->popup();
        widest = widestName(*completer->model(), popup->fontMetrics()) + 2 * popup->frameWidth() +
                 12 + popup->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, popup);
        completer->setProperty(kWidest, widest);
        QObject::connect(
            completer->model(), &QAbstractItemModel::modelReset, completer,
            [completer] { completer->setProperty(kWidest, QVariant()); }, Qt::SingleShotConnection);
    }
    return std::max(box->lineEdit()->width(), widest.toInt());
}

// The completer is made when the user first types, not at start-up.
void offer(ChoiceCombo* box, QAbstractItemModel* names, const Picked& picked) {
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, [=](const QString& text) {
        auto* completer = box->findChild<QCompleter*>(box->objectName() + QStringLiteral("Names"));
        if (completer == nullptr)
            completer = makeCompleter(box, names, picked);
        if (text.isEmpty()) {
            completer->popup()->hide();
            return;
        }
        completer->setCompletionPrefix(text);
        completer->complete(QRect(0, 0, popupWidth(box, completer), box->lineEdit()->height()));
    });
}

} // namespace

void offerNames(ChoiceCombo* box) {
    offer(box, box->model(), {});
}

void offerSetMembers(ChoiceCombo* box, QAbstractItemModel* members, const Picked& picked) {
    offer(box, members, picked);
}
