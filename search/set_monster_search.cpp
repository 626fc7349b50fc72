#include "search/searches.h"

#include <stdexcept>

namespace qdc {

// Not built yet.
void setMonsterSearch(const SearchEnv&, ResultList&, const std::string&, Difficulty,
                      const std::string&) {
    throw std::logic_error("setMonsterSearch is not built yet");
}

} // namespace qdc
