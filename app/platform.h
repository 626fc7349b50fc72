#pragma once

// The window's one file of system-specific code: what its start-up must ask
// the system itself. On Linux the window needs a display server (X11 or
// Wayland), which may be missing; on Windows (and macOS) the system's own
// desktop is always there, and both calls do nothing.

// Before the application is made, with main()'s `argc` and `argv`: when no
// display is named, ends the program with a plain message that names the
// command-line tool, on the data folder `argv` names, in its place. Until
// displayOpened(), Qt's messages are held back, so that a display that cannot
// be opened ends the program with the same message.
void prepareDisplay(int argc, char** argv);

// Once the application has connected to its display: the messages held back
// go out.
void displayOpened();
