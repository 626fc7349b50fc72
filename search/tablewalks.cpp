#include "search/tablewalks.h"

#include "results/convert.h"

namespace qdc {

const TableWalks::Record& TableWalks::recorded(const DropTableRef& ref) {
    const std::string& path = ref.path;
    // Inside a monster-list walk, the file source keeps a table exactly while
    // a later monster line names it again.
    const auto kept = kept_.find(path);
    if (kept != kept_.end()) {
        if (files_.keeping())
            return kept->second;
        scratch_ = std::move(kept->second);
        kept_.erase(kept);
        return scratch_;
    }
    Record& out = files_.keeping() ? kept_[path] : scratch_;
    record(ref, out);
    return out;
}

void TableWalks::record(const DropTableRef& ref, Record& out) {
    out.hits.clear();
    out.bad.reset();
    out.badLine = 0;
    out.end.reset();
    int line = 0; // every line is either a "-" or visited
    bool afterDash = false;
    bool dashSince = false;
    const auto onDash = [&] {
        ++line;
        afterDash = dashSince = true;
    };
    const auto visit = [&](const DropStep& drop) {
        ++line;
        const bool ofItem = drop.item == item_;
        // Past the first bad line only the "-" lines and the end still count.
        if (out.bad || (!ofItem && !checkEveryLine_))
            return true;
        try {
            if (!ofItem) {
                checkFloatView(drop.chance, separator_);
                return true;
            }
            out.hits.push_back({toFloatView(drop.chance, separator_), line, afterDash, dashSince});
            dashSince = false;
        } catch (const DropError& e) {
            out.bad = e;
            out.badLine = line;
        }
        return true;
    };
    try {
        // The first monster line to name the table is the one a table that cannot
        // be opened is told at: its error ends the search.
        walkDropTable(files_, DropTableRef{0, ref.path, ref.namedBy}, separator_, onDash, visit);
    } catch (const DropError& e) {
        out.end = e;
    }
    out.dashAfterHits = dashSince;
}

void TableWalks::raiseAt(const DropError& error, const std::string& path, int line) {
    DropError located(error);
    // The line's text is read again: an error ends the search, so this
    // happens once.
    if (!located.location())
        located.locate(lineLocation(files_, path, line));
    throw located;
}

} // namespace qdc
