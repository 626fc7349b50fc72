#pragma once

#include "results/resultlist.h"

#include <QString>

// "1 in 4" for an entry of 25 %; empty for one whose chance gives none.
QString oneInText(const qdc::EntryParts& entry);
// The entry's tooltip: the kills for a 90 % chance of a drop, and why a
// chance over 100 % is not a probability.
QString oddsTip(const qdc::EntryParts& entry);
// Whether the entry's chance is over 100 %.
bool overHundred(const qdc::EntryParts& entry);

// A file name for the list of a search of `name`: its characters that a
// folder cannot hold replaced by "_", "drops" when nothing is left.
QString suggestedFileName(const QString& name);

class QFontMetrics;

// `text` broken into lines no wider than `width` at blanks only, so that a
// name or a path is never cut; a word wider than `width` keeps a line of its
// own. Line breaks already in `text` stay.
QString wrapAtBlanks(const QString& text, const QFontMetrics& metrics, int width);
