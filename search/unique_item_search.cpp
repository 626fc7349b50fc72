#include "search/searches.h"

#include <stdexcept>

namespace qdc {

// Not built yet.
void uniqueItemSearch(const SearchEnv&, ResultList&, const std::string&, DifficultySet,
                      const std::string&) {
    throw std::logic_error("uniqueItemSearch is not built yet");
}

} // namespace qdc
