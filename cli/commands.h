#pragma once

#include "check/check.h"
#include "results/entry.h"
#include "results/resultlist.h"
#include "search/catalogue.h"
#include "search/searches.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace qdc::cli {

// The output formats of --format.
enum class Format { Text, Tsv, Json, Csv };

// The options given before the command, each a bit of an OptionSet, in the
// order the help lists them.
enum Option : unsigned {
    kMagicFindOption = 1U << 0,
    kDataOption = 1U << 1,
    kSortOption = 1U << 2,
    kDifficultyOption = 1U << 3,
    kSeparatorOption = 1U << 4,
    kWideOption = 1U << 5,
    kFormatOption = 1U << 6,
    kOneInOption = 1U << 7,
};
using OptionSet = unsigned;
inline constexpr Option kOptions[] = {kMagicFindOption,  kDataOption,      kSortOption,
                                      kDifficultyOption, kSeparatorOption, kWideOption,
                                      kOneInOption,      kFormatOption};

// "--mf" for kMagicFindOption, and so on.
const char* optionName(Option option);

// What the options before the command set, each parsed once.
struct Settings {
    std::string dataDir = ".";
    SortMode sort = SortMode::ChanceFirst;
    std::string magicFind = "0"; // the box's text: the searches convert it
    DifficultySet difficulties{.normal = true};
    Format format = Format::Text;
    bool wide = false;
    bool oneIn = false; // " (1 in N)" after each entry
    char decimalSeparator = '.';
    OptionSet given = 0; // the options on the command line
};

// A mistake on the command line found after parsing.
class UsageError : public std::exception {
  public:
    explicit UsageError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// "normal,hell" as a set; the empty text is the empty set.
DifficultySet parseDifficulties(const std::string& text);

// What a command hands to the output, as far as it came when an error ended
// it: a search's entries, names one a line, labelled numbers, or the
// checker's report.
struct Entries {
    const SearchKind* search = nullptr; // the search that made them
    SearchRequest request;              // what it was asked
    MemoryResultList list;              // "name=chance" entries and their parts
    SearchNote note;
};
struct Names {
    std::vector<std::string> names;
    // Beside each name, when the list gives one: the base set of a set item.
    std::vector<std::string> baseSets;
    // Whether the data folder is written in UTF-8, for a face that sends a
    // typed name back; known only where a document says it.
    std::optional<bool> utf8;
};
struct Figures {
    std::vector<std::pair<std::string, std::int32_t>> numbers;
};
using Outcome = std::variant<Entries, Names, Figures, CheckReport>;

struct Command {
    std::string name;
    std::string summary;
    std::string what; // "monster search": what a note about an unread option names
    std::vector<std::pair<std::string, std::string>> arguments; // name, help
    OptionSet reads;                 // the options that change what it does
    bool needsOneDifficulty = false; // --difficulty must name exactly one
    std::function<void(const Settings&, const std::vector<std::string>&, Outcome&)> run;
    const SearchKind* search = nullptr; // the search it runs, if it is one
};

// Every command of the tool, in the order its help lists them.
const std::vector<Command>& commands();

// The options a command reads, as its help lists them.
std::string optionsHelp(const Command& command);

// The one difficulty of the settings; a UsageError unless there is one.
Difficulty oneDifficulty(const Settings& settings);

} // namespace qdc::cli
