#pragma once

#include "data/setlist.h"

#include <string>
#include <vector>

// The names the selection boxes offer, as the list files hold them.
struct NameLists {
    std::vector<std::string> monsters; // of the Normal monster list
    std::vector<std::string> items;
    std::vector<std::string> baseSets;
    std::vector<std::string> uniques;
    // Every set item with its base set, for the set item box's completion.
    std::vector<qdc::SetMember> setMembers;
};

// Reads the lists of the data folder in the order above (the set members
// last, from the set list read once more). A list that cannot be read ends
// the reading with its error; the lists read before it are kept.
void readNameLists(qdc::FileSource& files, NameLists& lists);
