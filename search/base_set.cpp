#include "data/setlist.h"
#include "search/searches.h"

namespace qdc {

void chooseBaseSet(FileSource& files, const std::string& baseSet, SetItemChoice& out) {
    // The set-item box is emptied first; its prompt comes back with the first
    // line read before or inside the block.
    out.names.clear();
    out.showPrompt = false;
    readSetItemNames(files, baseSet, out.names, out.showPrompt);
}

} // namespace qdc
