#pragma once

class QComboBox;

// Typing in `box` offers, in a popup, the names of its list that contain the
// typed text, ignoring case. The typed text stays as typed until a suggestion
// is picked.
void offerNames(QComboBox* box);
