#include "app/remembered.h"

#include "app/datafolder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>

#include <memory>

namespace {

const QString kChoices = QStringLiteral("choices/");
const QString kSaveFolder = QStringLiteral("saveFolder");

// The buttons kept: the sort orders and each search's difficulties, by name.
QList<QAbstractButton*> keptButtons(const QWidget& form) {
    QList<QAbstractButton*> buttons;
    for (QAbstractButton* button : form.findChildren<QAbstractButton*>())
        if (qobject_cast<QRadioButton*>(button) != nullptr ||
            qobject_cast<QCheckBox*>(button) != nullptr)
            buttons.append(button);
    return buttons;
}

} // namespace

void restoreChoices(QWidget& form) {
    const std::unique_ptr<QSettings> settings = dropSettings();
    if (!settings)
        return;
    for (QAbstractButton* button : keptButtons(form)) {
        const QVariant checked = settings->value(kChoices + button->objectName());
        // A radio button is chosen, never cleared: its group keeps one.
        if (checked.isValid() && (qobject_cast<QCheckBox*>(button) != nullptr || checked.toBool()))
            button->setChecked(checked.toBool());
    }
    if (auto* magicFind = form.findChild<QLineEdit*>(QStringLiteral("MagicFind"))) {
        const QVariant text = settings->value(kChoices + magicFind->objectName());
        if (text.isValid())
            magicFind->setText(text.toString());
    }
    if (auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("ItemTab"))) {
        bool ok = false;
        const int tab = settings->value(kChoices + tabs->objectName()).toInt(&ok);
        if (ok && tab >= 0 && tab < tabs->count())
            tabs->setCurrentIndex(tab);
    }
}

void keepChoices(const QWidget& form) {
    const std::unique_ptr<QSettings> settings = dropSettings();
    if (!settings)
        return;
    for (const QAbstractButton* button : keptButtons(form))
        settings->setValue(kChoices + button->objectName(), button->isChecked());
    if (const auto* magicFind = form.findChild<QLineEdit*>(QStringLiteral("MagicFind")))
        settings->setValue(kChoices + magicFind->objectName(), magicFind->text());
    if (const auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("ItemTab")))
        settings->setValue(kChoices + tabs->objectName(), tabs->currentIndex());
}

QString lastSaveFolder() {
    const std::unique_ptr<QSettings> settings = dropSettings();
    return settings ? settings->value(kSaveFolder).toString() : QString();
}

void keepSaveFolder(const QString& folder) {
    if (const std::unique_ptr<QSettings> settings = dropSettings())
        settings->setValue(kSaveFolder, folder);
}
