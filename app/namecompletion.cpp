#include "app/namecompletion.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>

namespace {

// The completer is not the line edit's own: a line edit writes each
// highlighted suggestion into its text, this one writes only the picked one.
QCompleter* makeCompleter(QComboBox* box) {
    QLineEdit* edit = box->lineEdit();
    auto* completer = new QCompleter(box->model(), box);
    completer->setObjectName(box->objectName() + QStringLiteral("Names"));
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setWidget(edit);
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), edit,
                     [edit](const QString& name) {
                         edit->setText(name);
                         edit->setCursorPosition(0);
                     });
    return completer;
}

} // namespace

// The completer is made when the user first types, not at start-up.
void offerNames(QComboBox* box) {
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, [box](const QString& text) {
        auto* completer = box->findChild<QCompleter*>(box->objectName() + QStringLiteral("Names"));
        if (completer == nullptr)
            completer = makeCompleter(box);
        if (text.isEmpty()) {
            completer->popup()->hide();
            return;
        }
        completer->setCompletionPrefix(text);
        completer->complete();
    });
}
