#pragma once

#include <string>

namespace qdc {

class FileSource;

enum class Difficulty { Normal, Nightmare, Hell };

inline constexpr Difficulty kAllDifficulties[] = {Difficulty::Normal, Difficulty::Nightmare,
                                                  Difficulty::Hell};

// The folder name: "Normal", "Nightmare" or "Hell".
std::string difficultyName(Difficulty d);
// What searches over several difficulties append to monster names: "",
// " (Nm)" or " (H)".
std::string difficultySuffix(Difficulty d);

// Any subset of the three difficulties, visited Normal, Nightmare, Hell.
struct DifficultySet {
    bool normal = false;
    bool nightmare = false;
    bool hell = false;
    bool has(Difficulty d) const {
        return d == Difficulty::Normal ? normal : d == Difficulty::Nightmare ? nightmare : hell;
    }
    bool any() const { return normal || nightmare || hell; }
};

std::string monsterListPath(Difficulty d);
std::string levelsPath(Difficulty d);

// Whether the data folder of `files` holds the folder of `d`: a data folder
// that has no "Normal" folder is most likely not a data folder at all.
bool hasDifficultyFolder(FileSource& files, Difficulty d);

} // namespace qdc
