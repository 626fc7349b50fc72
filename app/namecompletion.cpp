#include "app/namecompletion.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>

// The completer is not the line edit's own: a line edit writes each
// highlighted suggestion into its text, this one writes only the picked one.
void offerNames(QComboBox* box) {
    QLineEdit* edit = box->lineEdit();
    auto* completer = new QCompleter(box->model(), box);
    completer->setObjectName(box->objectName() + QStringLiteral("Names"));
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setWidget(edit);
    QObject::connect(edit, &QLineEdit::textEdited, completer, [completer](const QString& text) {
        if (text.isEmpty()) {
            completer->popup()->hide();
            return;
        }
        completer->setCompletionPrefix(text);
        completer->complete();
    });
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), edit,
                     [edit](const QString& name) {
                         edit->setText(name);
                         edit->setCursorPosition(0);
                     });
}
