#pragma once

#include "app/nametext.h"
#include "data/difficulty.h"
#include "results/entry.h"

#include <QStringList>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// The decimal separator of the user's locale; "." when the locale's is not a
// single Latin-1 character.
char localeDecimalSeparator();

// The difficulty chosen by a radio group of three; the last selected wins.
qdc::Difficulty radioDifficulty(const QRadioButton* normal, const QRadioButton* nightmare,
                                const QRadioButton* hell);
qdc::DifficultySet checkDifficulties(const QCheckBox* normal, const QCheckBox* nightmare,
                                     const QCheckBox* hell);

// The order the "Sort by" group asks for: by name when `byName` is checked,
// highest chance first when `highest` is, by chance text otherwise.
qdc::SortMode sortMode(const QRadioButton* byName, const QRadioButton* highest);

// The text of a name box as the bytes of the data files.
std::string boxText(const QComboBox* box, const NameText& text);

// The magic find as the core reads it.
std::string magicFindText(const QLineEdit* box);

QStringList shownNames(const std::vector<std::string>& names, const NameText& text);

// The entries as the separator command rewrites them: every "=" becomes the
// wide separator.
void widenEntries(std::vector<std::string>& entries);

// A column heading keeps its place and takes the width of its caption, so
// that "% Drop Chance" fits where "Name" stood.
void setHeading(QLabel* label, const QString& caption);

// A read-only box drawn in the window's colour, unlike the boxes one types in.
void lookReadOnly(QLineEdit* box);
