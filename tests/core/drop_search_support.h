#pragma once

#include "data/filesource.h"
#include "results/error.h"
#include "results/resultlist.h"
#include "search/searches.h"

#include <functional>
#include <string>
#include <vector>

// What a search left behind: its entries and the message that ended it ("" when
// it ran to its end).
struct SearchOutcome {
    std::vector<std::string> entries;
    std::string error;
};

inline SearchOutcome runSearch(qdc::MemoryResultList& list,
                               const std::function<void(qdc::ResultList&)>& search) {
    SearchOutcome outcome;
    try {
        search(list);
    } catch (const qdc::DropError& e) {
        outcome.error = e.what();
    }
    outcome.entries = list.entries();
    return outcome;
}

inline SearchOutcome runSearch(const std::function<void(qdc::ResultList&)>& search) {
    qdc::MemoryResultList list;
    return runSearch(list, search);
}

// The bytes of a file holding `lines`, each ended by LF.
inline std::string joinLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\n";
    return bytes;
}

inline qdc::DifficultySet normalOnly() {
    return {true, false, false};
}
inline qdc::DifficultySet allDifficulties() {
    return {true, true, true};
}
