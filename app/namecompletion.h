#pragma once

#include <QModelIndex>

#include <functional>

class ChoiceCombo;
class QAbstractItemModel;

// Typing in `box` offers, in a popup as wide as its longest name, the names
// of its list that contain the typed text, ignoring case. The typed text
// stays as typed until a suggestion is picked; picking one (Enter on the
// highlighted one, or on the only one offered, or a click) puts it in the
// box and enters it, as Enter in the box would.
void offerNames(ChoiceCombo* box);

// The same over `members` instead of the box's own list: the names found
// contain the typed text anywhere in their shown text; picking one calls
// `picked` with its row of `members`, and enters nothing itself.
void offerSetMembers(ChoiceCombo* box, QAbstractItemModel* members,
                     const std::function<void(const QModelIndex&)>& picked);
