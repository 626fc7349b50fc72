#include "search/searches.h"

#include <stdexcept>

namespace qdc {

// Not built yet.
void chooseBaseSet(FileSource&, const std::string&, SetItemChoice&) {
    throw std::logic_error("chooseBaseSet is not built yet");
}

} // namespace qdc
