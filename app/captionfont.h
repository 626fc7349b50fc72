#pragma once

#include <QFont>

class QWidget;

// The window's font: the platform's sans-serif at a pixel height of 11, made
// as narrow as needed for every caption of `form` to fit its control.
// Computed once for the whole program, from the widths at normal stretch.
QFont captionFont(const QWidget& form);
