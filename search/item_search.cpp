#include "search/searches.h"

#include <stdexcept>

namespace qdc {

// Not built yet.
void itemSearch(const SearchEnv&, ResultList&, const std::string&, DifficultySet) {
    throw std::logic_error("itemSearch is not built yet");
}

} // namespace qdc
