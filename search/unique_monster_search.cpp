#include "search/searches.h"

#include <stdexcept>

namespace qdc {

// Not built yet.
void uniqueMonsterSearch(const SearchEnv&, ResultList&, const std::string&, Difficulty,
                         const std::string&) {
    throw std::logic_error("uniqueMonsterSearch is not built yet");
}

} // namespace qdc
