#include "app/formvalues.h"

#include <QCheckBox>
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

qdc::Difficulty radioDifficulty(const QRadioButton* normal, const QRadioButton* nightmare,
                                const QRadioButton* hell) {
    qdc::Difficulty d = qdc::Difficulty::Normal;
    if (normal->isChecked())
        d = qdc::Difficulty::Normal;
    if (nightmare->isChecked())
        d = qdc::Difficulty::Nightmare;
    if (hell->isChecked())
        d = qdc::Difficulty::Hell;
    return d;
}

qdc::DifficultySet checkDifficulties(const QCheckBox* normal, const QCheckBox* nightmare,
                                     const QCheckBox* hell) {
    return {normal->isChecked(), nightmare->isChecked(), hell->isChecked()};
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
    return box->text().toLatin1().toStdString();
}

QStringList shownNames(const std::vector<std::string>& names, const NameText& text) {
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        shown.append(text.decode(name));
    return shown;
}

void widenEntries(std::vector<std::string>& entries) {
    for (std::string& entry : entries)
        for (std::size_t at = entry.find('='); at != std::string::npos; at = entry.find('=', at))
            entry.replace(at, 1, qdc::kWideSeparator);
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
