#pragma once

#include <QString>

class QWidget;

// What the window keeps between starts, in the settings of dropSettings():
// the sort order, the magic find, the ticked and selected difficulties of
// each search, the tab shown, and the folder a list was last saved to. A
// start without them keeps the controls as they are made.

// Sets the controls of `form` as they were kept; a setting that is missing
// or that no control can take leaves its control as it is.
void restoreChoices(QWidget& form);
// Keeps the controls of `form` for the next start.
void keepChoices(const QWidget& form);

// The folder a list was last saved to, or empty.
QString lastSaveFolder();
void keepSaveFolder(const QString& folder);
