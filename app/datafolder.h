#pragma once

#include <QString>

#include <string>

class QSettings;

// The settings where the window remembers the last data folder.
QSettings dropSettings();

// The folder the window opens on: `given` (a folder named on the command
// line) when there is one; otherwise the current folder, unless it holds no
// "Normal" folder and a remembered one does, as when a desktop launcher
// starts the program in the home folder. Always absolute.
QString startFolder(const QString& given);

// Remembers `folder` for the next start, if it is a data folder: one with a
// "Normal" folder.
void rememberFolder(const QString& folder);

bool hasNormalFolder(const QString& folder);

// The folder's path as the system names it, for the core's file reading.
std::string localPath(const QString& folder);
