#pragma once

#include "data/filesource.h"
#include "results/error.h"
#include "results/resultlist.h"
#include "search/searches.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// The message of the DropError that `work` raises, or "no error".
inline std::string dropErrorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const qdc::DropError& e) {
        return e.message();
    }
    return "no error";
}

// Expects `statement` to raise a DropError with exactly `message`.
#define EXPECT_DROP_ERROR(statement, message)                                                      \
    EXPECT_EQ(dropErrorOf([&] { statement; }), message) << #statement

// What a search left behind: its entries, the message that ended it ("" when
// it ran to its end) and where that came from, and its note.
struct SearchOutcome {
    std::vector<std::string> entries;
    std::string error;
    std::optional<qdc::ErrorLocation> location;
    qdc::SearchNote note;
    std::string labels; // the two column captions, joined by "|"
    // The entries of a search that must end without an error.
    std::vector<std::string> ok() const {
        EXPECT_EQ(error, "");
        return entries;
    }
};

// Runs search(list) into `list`.
template <class Search> SearchOutcome runSearch(qdc::MemoryResultList& list, Search search) {
    SearchOutcome outcome;
    try {
        if constexpr (std::is_same_v<decltype(search(list)), qdc::SearchNote>)
            outcome.note = search(list);
        else
            search(list);
    } catch (const qdc::DropError& e) {
        outcome.error = e.message();
        outcome.location = e.location();
    }
    outcome.entries = list.entries();
    outcome.labels = list.nameLabel() + "|" + list.dropLabel();
    return outcome;
}

template <class Search> SearchOutcome runSearch(Search search) {
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
