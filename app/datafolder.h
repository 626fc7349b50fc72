#pragma once

#include <QString>

#include <string>

#include <memory>

class QSettings;

// The settings where the window remembers the last data folder, kept in the
// file dropcalc.ini of the user's settings folder; null when that file is
// there but is no regular file (a FIFO, a folder, a device), which reading
// could block on and saving would replace: the window then keeps to its
// defaults, said once on stderr.
std::unique_ptr<QSettings> dropSettings();

// The folder the window opens on: `given` (a folder named on the command
// line) when there is one; otherwise the current folder, unless it holds no
// "Normal" folder and a remembered one does, as when a desktop launcher
// starts the program in the home folder. Always absolute.
QString startFolder(const QString& given);

// Remembers `folder` for the next start, if it is a data folder: one with a
// "Normal" folder.
void rememberFolder(const QString& folder);

bool hasNormalFolder(const QString& folder);

// What the window says of a folder without "Normal": that it is not a data
// folder, and, when a folder "data" inside it is one, which to choose.
QString notDataFolderText(const QString& folder);

// The folder's path as the system names it, for the core's file reading.
std::string localPath(const QString& folder);
