#pragma once

#include "data/difficulty.h"

#include <QString>

#include <optional>

// What a search was asked, as the heading over its answer tells it.
struct SearchQuestion {
    QString name;         // the searched name, as the box showed it
    QString difficulties; // "Normal, Nightmare, Hell"; empty when none was ticked
    QString magicFind;    // the magic find read, for the searches that read it
};

QString difficultyList(qdc::DifficultySet difficulties);
QString difficultyList(qdc::Difficulty difficulty);

// "Ring · Normal, Nightmare, Hell · 37 entries"; the magic find stands
// before the count for the searches that read it.
QString headingText(const SearchQuestion& question, int entries);

// Tells that an error ended a search and where, over the entries it had
// found; `line` is 0 when the place is a file as a whole, and `path` empty
// when it is not known.
QString stoppedText(const QString& path, int line);

// "1 in 4" for a chance of 25 %; empty for a chance that gives none.
QString oneInText(double chancePercent);
// The entry's tooltip: the kills for a 90 % chance of a drop, and why a
// chance over 100 % is not a probability.
QString oddsTip(double chancePercent);

// A file name for the list of a search of `name`: its characters that a
// folder cannot hold replaced by "_", "drops" when nothing is left.
QString suggestedFileName(const QString& name);

class QFontMetrics;

// `text` broken into lines no wider than `width` at blanks only, so that a
// name or a path is never cut; a word wider than `width` keeps a line of its
// own. Line breaks already in `text` stay.
QString wrapAtBlanks(const QString& text, const QFontMetrics& metrics, int width);
