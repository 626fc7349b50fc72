#pragma once

#include "data/difficulty.h"
#include "search/searches.h"

#include <string>

namespace qdc {

// The sentences of a search that finds nothing because the name it looks up
// is not where it looks.
SearchNote missingMonsterNote(const std::string& monster, Difficulty difficulty);
SearchNote missingUniqueNote(const std::string& unique);
SearchNote missingBaseSetNote(const std::string& baseSet);
SearchNote missingSetItemNote(const std::string& baseSet, const std::string& setItem);
// Nothing when no difficulty is chosen.
SearchNote unnamedItemNote(const std::string& item, DifficultySet difficulties);

} // namespace qdc
