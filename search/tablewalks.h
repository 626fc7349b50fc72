#pragma once

#include "data/droptable.h"
#include "data/monsterlist.h"
#include "results/error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace qdc {

// The drop-table walks of a search that looks for one item in every table
// its monster lines name. Each table is walked once, into a record of what
// the walk met: the item's lines with their chances converted, where the "-"
// lines came, and the error that ends a walk. A monster line naming a table
// that a later line names again keeps the record, and the later lines replay
// it: a thousand monsters sharing one table cost one walk of it, and the
// replay makes the same calls in the same order as a walk would.
class TableWalks {
  public:
    // `checkEveryLine`: the chance of every line must convert, not only the
    // item's.
    TableWalks(CachingFileSource& files, std::string item, char decimalSeparator,
               bool checkEveryLine)
        : files_(files), item_(std::move(item)), separator_(decimalSeparator),
          checkEveryLine_(checkEveryLine) {}

    // One monster line's walk of the table `ref` names, as walkDropTable()
    // would make it for a visit that takes the item's lines when `takesItem`
    // and passes over the rest: onDash() at a "-" line (at most once between
    // two of the item's lines, as further calls change nothing),
    // onHit(chance, picks) for each of the item's lines, returning false to
    // stop the walk there. An error onHit raises is located at its line.
    template <class OnDash, class OnHit>
    void walk(const DropTableRef& ref, bool takesItem, OnDash onDash, OnHit onHit);

  private:
    struct Hit {
        double chance = 0;
        int line = 0;            // 1-based, in the table
        bool afterDash = false;  // picks are 1 from here on
        bool dashBefore = false; // a "-" line since the item's line before
    };
    struct Record {
        std::vector<Hit> hits;      // the item's lines before `bad`
        bool dashAfterHits = false; // a "-" line after the last of `hits`
        // The first line whose chance does not convert (of the item's lines
        // only, unless every line is checked), with its error unlocated.
        std::optional<DropError> bad;
        int badLine = 0;
        // The error that ends the walk: the table cannot be opened, or read
        // to its end.
        std::optional<DropError> end;
        bool anyDash() const { return dashAfterHits || (!hits.empty() && hits.back().afterDash); }
    };
    const Record& recorded(const DropTableRef& ref);
    void record(const DropTableRef& ref, Record& out);
    [[noreturn]] void raiseAt(const DropError& error, const std::string& path, int line);

    CachingFileSource& files_;
    std::string item_;
    char separator_;
    bool checkEveryLine_;
    // The records of the tables that a later monster line names again.
    std::unordered_map<std::string, Record> kept_;
    Record scratch_; // the record of a table named once, or for the last time
};

template <class OnDash, class OnHit>
void TableWalks::walk(const DropTableRef& ref, bool takesItem, OnDash onDash, OnHit onHit) {
    const Record& walked = recorded(ref);
    if (takesItem) {
        for (const Hit& hit : walked.hits) {
            if (hit.dashBefore)
                onDash();
            bool goOn = true;
            try {
                goOn = onHit(hit.chance, hit.afterDash ? 1 : ref.picks);
            } catch (const DropError& e) {
                raiseAt(e, ref.path, hit.line);
            }
            if (!goOn)
                return;
        }
    }
    if (walked.bad && (takesItem || checkEveryLine_))
        raiseAt(*walked.bad, ref.path, walked.badLine);
    if (takesItem ? walked.dashAfterHits : walked.anyDash())
        onDash();
    if (walked.end)
        throw DropError(*walked.end);
}

} // namespace qdc
