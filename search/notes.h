#pragma once

#include "data/difficulty.h"
#include "search/searches.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qdc {

// The sentences of a search that looks up a name that is not where it looks.
// When a listed name (one the window's box offers) differs from it only in
// case or encoding or by an edit or two, the sentence ends in suggestionText()
// of them. A name is quoted up to its first 200 bytes.
SearchNote missingMonsterNote(FileSource& files, const std::string& monster, Difficulty difficulty);
SearchNote missingUniqueNote(FileSource& files, const std::string& unique);
SearchNote missingBaseSetNote(FileSource& files, const std::string& baseSet);
SearchNote missingSetItemNote(FileSource& files, const std::string& baseSet,
                              const std::string& setItem);
// A set item that a block of `holdingSet` names, looked up in the base set
// `baseSet` (none chosen when empty): offers `holdingSet` for the base set.
SearchNote otherBaseSetNote(const std::string& setItem, const std::string& holdingSet,
                            const std::string& baseSet);
SearchNote unnamedItemNote(FileSource& files, const std::string& item, DifficultySet difficulties);
// A search of several difficulties with none chosen.
SearchNote noDifficultyNote();

// At most this many names are suggested.
inline constexpr std::size_t kSuggestions = 3;

// The listed names that `name` may have meant, best first: those that equal
// it except for the case of its letters or its encoding (each text read as
// UTF-8 when it is UTF-8, as single-byte text otherwise), then those one and
// two edits of a character away (an insertion, a deletion, a change or a
// swap of two neighbours; one edit for names of three to five characters,
// none below), in the order of the list among names as near. At most
// kSuggestions; none when `name` itself is listed.
std::vector<std::string> similarNames(const std::string& name,
                                      const std::vector<std::string>& listed);
// How a note ends that suggests `names`: "; did you mean "A"?", "; did you
// mean "A" or "B"?", "; did you mean "A", "B" or "C"?"; empty for none.
std::string suggestionText(const std::vector<std::string>& names);
} // namespace qdc
