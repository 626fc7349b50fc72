#include "search/notes.h"

#include "results/error.h"

namespace qdc {

namespace {

// At most 200 bytes of the name, as the messages quote a text.
std::string quoted(const std::string& name) {
    return "\"" + shortened(name) + "\"";
}

} // namespace

SearchNote missingMonsterNote(const std::string& monster, Difficulty difficulty) {
    return "no monster named " + quoted(monster) + " in " + monsterListPath(difficulty);
}

SearchNote missingUniqueNote(const std::string& unique) {
    return "no unique item named " + quoted(unique) + " in unilist.txt";
}

SearchNote missingBaseSetNote(const std::string& baseSet) {
    return "no base set named " + quoted(baseSet) + " in setlist.txt";
}

SearchNote missingSetItemNote(const std::string& baseSet, const std::string& setItem) {
    return "no set item named " + quoted(setItem) + " in base set " + quoted(baseSet) +
           " in setlist.txt";
}

SearchNote unnamedItemNote(const std::string& item, DifficultySet difficulties) {
    std::string names;
    for (const Difficulty d : kAllDifficulties)
        if (difficulties.has(d))
            names += (names.empty() ? "" : ", ") + difficultyName(d);
    if (names.empty())
        return std::nullopt;
    return "no drop table of " + names + " names " + quoted(item);
}

} // namespace qdc
