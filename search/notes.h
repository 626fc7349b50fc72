#pragma once

#include "data/difficulty.h"
#include "search/searches.h"

#include <optional>
#include <string>
#include <vector>

namespace qdc {

// The sentences of a search that looks up a name that is not where it looks.
// When a listed name (one the window's box offers) differs from it only in
// case or encoding, the sentence ends in "; did you mean "Name"?". A name is
// quoted up to its first 200 bytes.
SearchNote missingMonsterNote(FileSource& files, const std::string& monster, Difficulty difficulty);
SearchNote missingUniqueNote(FileSource& files, const std::string& unique);
SearchNote missingBaseSetNote(FileSource& files, const std::string& baseSet);
SearchNote missingSetItemNote(FileSource& files, const std::string& baseSet,
                              const std::string& setItem);
SearchNote unnamedItemNote(FileSource& files, const std::string& item, DifficultySet difficulties);
// A search of several difficulties with none chosen.
SearchNote noDifficultyNote();

// The first of `listed` that equals `name` except for the case of its letters
// or its encoding (each text read as UTF-8 when it is UTF-8, as single-byte
// text otherwise); nothing when `name` itself is listed.
std::optional<std::string> similarName(const std::string& name,
                                       const std::vector<std::string>& listed);

} // namespace qdc
