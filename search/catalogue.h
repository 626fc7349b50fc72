#pragma once

#include "data/difficulty.h"
#include "search/searches.h"

#include <string>
#include <string_view>
#include <vector>

namespace qdc {

// What a player asks of a search: the texts of its boxes (as the data files
// hold them), the difficulties and the magic-find box's text.
struct SearchRequest {
    std::vector<std::string> names;
    DifficultySet difficulties;
    std::string magicFind = "0";
};

// One input box of a search.
struct SearchInput {
    std::string_view argument; // "NAME", as the tool's help names it
    std::string_view label;    // "Monster name"
    std::string_view list;     // the names it offers: "monsters", "items", "base-sets",
                               // "uniques", or "set-items" (those of the base set before it)
};

// One search, as every face offers it.
struct SearchKind {
    std::string_view command; // "monster": the tool's command
    std::string_view caption; // "monster search"
    std::string_view summary; // "What a monster drops at one difficulty"
    std::vector<SearchInput> inputs;
    bool oneDifficulty = false; // exactly one difficulty, else any of the three
    bool readsMagicFind = false;
    // Runs it; a one-difficulty search takes the first difficulty of the
    // request.
    SearchNote (*run)(const SearchEnv& env, ResultList& list, const SearchRequest& request);
};

// Every search, in the order of the window's tabs and the tool's help.
const std::vector<SearchKind>& searchCatalogue();
// The search of a command; null when none has that name.
const SearchKind* findSearch(std::string_view command);

// The first difficulty of `set`, Normal when it has none.
Difficulty firstDifficulty(DifficultySet set);

// What the heading over an answer says, in UTF-8: the name searched, the
// difficulties, the magic find (for the searches that read it) and the count,
// "Ring · Normal, Nightmare, Hell · 37 entries".
std::string answerHeading(const SearchKind& search, const SearchRequest& request, int entries);

} // namespace qdc
