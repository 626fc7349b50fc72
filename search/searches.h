#pragma once

#include "data/difficulty.h"
#include "data/filesource.h"
#include "results/entry.h"
#include "results/resultlist.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qdc {

// What every search reads: the data files, the locale's decimal separator and
// the sort mode. A search keeps what it reads for its own duration only.
struct SearchEnv {
    FileSource& files;
    char decimalSeparator = '.';
    SortMode mode = SortMode::ChanceFirst;
    // When set, another thread may set the flag to cancel the search: it then
    // stops before its next line read by raising SearchCancelled (declared
    // with the line reader), the list holding what was written before.
    const std::atomic<bool>* cancel = nullptr;
};

// What a search says besides its entries: when it finds nothing because the
// name it looks up is not where it looks, the sentence that says so, for
// example: no monster named "cave lurker" in Normal/monsterlist.txt; did you
// mean "Cave Lurker"? It reads as an optional sentence; the names it offers
// come with it, so that no face has to find them in the sentence again.
struct SearchNote {
    SearchNote() = default;
    SearchNote(std::nullopt_t /*none*/) {} // NOLINT(google-explicit-constructor)
    SearchNote(std::string sentence) : text(std::move(sentence)) {} // NOLINT
    SearchNote(const char* sentence) : text(sentence) {}            // NOLINT

    std::string text; // empty when there is nothing to say
    // The names the sentence offers instead of the one looked up, best
    // first, as the data files hold them, and which of the search's inputs
    // (its catalogue order) each would go into.
    std::vector<std::string> suggestions;
    std::size_t input = 0;

    bool has_value() const { return !text.empty(); }
    explicit operator bool() const { return has_value(); }
    const std::string& operator*() const { return text; }
    const std::string* operator->() const { return &text; }
};

// Normal drop chance in percent: (1 - (1 - p)^picks) * 100, rounded to 10
// decimals.
double normalDropChance(double p, std::int32_t picks);
// The same, except that "Nothing" with 2 picks or more gives p^picks.
double monsterDropChance(std::string_view item, double p, std::int32_t picks);

// What one monster drops at one difficulty.
SearchNote monsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                         Difficulty difficulty);

// Which monsters of the chosen difficulties drop one item.
SearchNote itemSearch(const SearchEnv& env, ResultList& list, const std::string& item,
                      DifficultySet difficulties);

// Which monsters of the chosen difficulties drop one unique item.
SearchNote uniqueItemSearch(const SearchEnv& env, ResultList& list, const std::string& unique,
                            DifficultySet difficulties, const std::string& magicFindText);

// Which unique items one monster drops at one difficulty.
SearchNote uniqueMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                               Difficulty difficulty, const std::string& magicFindText);

// Which monsters of the chosen difficulties drop one set item of a base set.
SearchNote setItemSearch(const SearchEnv& env, ResultList& list, const std::string& baseSet,
                         const std::string& setItem, DifficultySet difficulties,
                         const std::string& magicFindText);

// Which set items one monster drops at one difficulty.
SearchNote setMonsterSearch(const SearchEnv& env, ResultList& list, const std::string& monster,
                            Difficulty difficulty, const std::string& magicFindText);

// Choosing a base set: the set item names of its first block, and whether the
// set-item box then shows its prompt "[select a set item]" (it stays empty
// when no line before or inside the block was read). Filled as the file is
// read, so that it keeps what was read when an error ends the reading.
struct SetItemChoice {
    std::vector<std::string> names;
    bool showPrompt = false;
};
void chooseBaseSet(FileSource& files, const std::string& baseSet, SetItemChoice& out);

inline const std::string kSetItemPrompt = "[select a set item]";

} // namespace qdc
