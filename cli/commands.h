#pragma once

#include "results/entry.h"
#include "results/resultlist.h"
#include "search/check.h"
#include "search/searches.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qdc::cli {

// What the options before the command set.
struct Settings {
    std::string dataDir = ".";
    std::string sort = "chance";
    std::string magicFind = "0";
    std::string difficulty = "normal";
    std::string format = "text";
    bool wide = false;
    bool oneIn = false;
    char decimalSeparator = '.';
    SortMode mode() const {
        return sort == "name"      ? SortMode::NameFirst
               : sort == "highest" ? SortMode::Highest
                                   : SortMode::ChanceFirst;
    }
};

// A mistake on the command line found after parsing.
struct UsageError {
    std::string message;
};

// What a command hands to the output, as far as it came when an error ended
// it. Which member holds its entries depends on the shape.
enum class Shape { Results, Names, Numbers, Problems };

struct Outcome {
    Shape shape = Shape::Results;
    MemoryResultList results;                                  // "name=chance" entries
    std::vector<std::string> names;                            // one name a line
    std::vector<std::pair<std::string, std::int32_t>> numbers; // labelled whole numbers
    CheckReport report;                                        // the checker's problems
    SearchNote note;
};

struct Command {
    std::string name;
    std::string summary;
    std::vector<std::pair<std::string, std::string>> arguments; // name, help
    std::string options; // the options that apply, listed in its help
    std::function<void(const Settings&, const std::vector<std::string>&, Outcome&)> run;
};

// Every command of the tool, in the order its help lists them.
const std::vector<Command>& commands();

// "normal,hell" as a set; the empty text is the empty set.
DifficultySet parseDifficulties(const std::string& text);

} // namespace qdc::cli
