#include "search/searches.h"

#include <stdexcept>

namespace qdc {

// Not built yet.
void setItemSearch(const SearchEnv&, ResultList&, const std::string&, const std::string&,
                   DifficultySet, const std::string&) {
    throw std::logic_error("setItemSearch is not built yet");
}

} // namespace qdc
