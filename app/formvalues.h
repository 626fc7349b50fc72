#pragma once

#include "app/nametext.h"
#include "data/difficulty.h"
#include "results/entry.h"

#include <QStringList>

#include <array>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// The decimal separator of the user's locale; "." when the locale's is not a
// single Latin-1 character.
char localeDecimalSeparator();

// The difficulties a row of three buttons (Normal, Nightmare, Hell) chooses:
// those checked; for a radio group (`one`), the last one checked, Normal when
// none is.
qdc::DifficultySet chosenDifficulties(const std::array<const QAbstractButton*, 3>& buttons,
                                      bool one);

// The order the "Sort by" group asks for: by name when `byName` is checked,
// highest chance first when `highest` is, by chance text otherwise.
qdc::SortMode sortMode(const QRadioButton* byName, const QRadioButton* highest);

// The text of a name box as the bytes of the data files.
std::string boxText(const QComboBox* box, const NameText& text);

// The magic find as the core reads it: the typed text, in UTF-8 as the
// tool's argument is.
std::string magicFindText(const QLineEdit* box);

QStringList shownNames(const std::vector<std::string>& names);

// A column heading keeps its place and takes the width of its caption, so
// that "% Drop Chance" fits where "Name" stood.
void setHeading(QLabel* label, const QString& caption);

// A read-only box drawn in the window's colour, unlike the boxes one types in.
void lookReadOnly(QLineEdit* box);
