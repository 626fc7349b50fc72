#pragma once

class QWidget;

// Gives each control of the window a name a screen reader can say: the
// difficulty buttons have no caption of their own, the name boxes and the
// magic-find boxes stand beside labels that do not name them. Captions stay
// as they are.
void nameControls(QWidget& form);
