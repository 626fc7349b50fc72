#include "data/difficulty.h"

#include "data/filesource.h"

namespace qdc {

std::string difficultyName(Difficulty d) {
    switch (d) {
    case Difficulty::Nightmare:
        return "Nightmare";
    case Difficulty::Hell:
        return "Hell";
    case Difficulty::Normal:
        break;
    }
    return "Normal";
}

std::string difficultySuffix(Difficulty d) {
    switch (d) {
    case Difficulty::Nightmare:
        return " (Nm)";
    case Difficulty::Hell:
        return " (H)";
    case Difficulty::Normal:
        break;
    }
    return "";
}

std::string monsterListPath(Difficulty d) {
    return difficultyPath(difficultyName(d), "monsterlist.txt");
}

std::string levelsPath(Difficulty d) {
    return difficultyPath(difficultyName(d), "levels.txt");
}

} // namespace qdc

namespace qdc {

bool hasDifficultyFolder(FileSource& files, Difficulty d) {
    // Its monster list is read, or cannot be for another reason than a
    // missing folder on its path; an error located elsewhere is the data
    // folder's own.
    const std::string path = monsterListPath(d);
    try {
        files.read(path);
    } catch (const DropError& e) {
        return e.message() != "Invalid filename" && e.location() && e.location()->path == path;
    }
    return true;
}

} // namespace qdc
