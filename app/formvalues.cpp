#include "app/formvalues.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>

#include <algorithm>

char localeDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point[0].unicode() >= 1 && point[0].unicode() <= 255)
        return static_cast<char>(point[0].unicode());
    return '.';
}

qdc::DifficultySet chosenDifficulties(const std::array<const QAbstractButton*, 3>& buttons,
                                      bool one) {
    if (!one)
        return {buttons[0]->isChecked(), buttons[1]->isChecked(), buttons[2]->isChecked()};
    std::size_t last = 0;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            last = i;
    return {last == 0, last == 1, last == 2};
}

qdc::SortMode sortMode(const QRadioButton* byName, const QRadioButton* highest) {
    if (byName->isChecked())
        return qdc::SortMode::NameFirst;
    return highest->isChecked() ? qdc::SortMode::Highest : qdc::SortMode::ChanceFirst;
}

std::string boxText(const QComboBox* box, const NameText& text) {
    return text.encode(box->currentText());
}

std::string magicFindText(const QLineEdit* box) {
    return box->text().toStdString();
}

QStringList shownNames(const std::vector<std::string>& names) {
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        shown.append(NameText::decode(name));
    return shown;
}

void setHeading(QLabel* label, const QString& caption) {
    label->setText(caption);
    const int width =
        std::max(label->sizeHint().width(), label->fontMetrics().horizontalAdvance(caption));
    label->resize(width, label->height());
}

void lookReadOnly(QLineEdit* box) {
    QPalette look = box->palette();
    look.setBrush(QPalette::Base, look.window());
    box->setPalette(look);
}
