#pragma once

#include <QFont>

class QWidget;

// The configured sans-serif at a pixel height of 11: the window's font before
// its captions are fitted. Given to the window before its controls are made,
// so that they never load the application's default font.
QFont baseCaptionFont();

// The window's font: baseCaptionFont() made as narrow as needed for every
// caption of `form` to fit its control. Computed once for the whole program,
// from the widths at normal stretch.
QFont captionFont(const QWidget& form);
