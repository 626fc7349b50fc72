#pragma once

#include "data/filesource.h"
#include "data/monsterlist.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace qdc {

// One line of a drop table other than "-", as the searches see it. Its views
// stay valid until the walk goes on.
struct DropStep {
    std::string_view item;   // text before the first ":", full stops made separators
    std::string_view chance; // text after the first ":" (the whole line without one)
    std::int32_t picks = 0;  // the monster's picks, 1 from a "-" line on
};

// `line` with every "." made `decimalSeparator`; `storage` holds the copy
// when one is needed.
std::string_view separated(std::string_view line, char decimalSeparator, std::string& storage);

// Cuts a drop-table line other than "-".
DropStep dropStep(std::string_view line, std::int32_t picks);

// Walks one drop table. A line that is exactly "-" starts extra single picks:
// the picks become 1 and onDash() is called. Every other line goes to
// visit(step), which returns false to stop the walk there. An error raised
// over a line is located at it.
template <class OnDash, class Visit>
void walkDropTable(FileSource& files, DropTableRef ref, char decimalSeparator, OnDash onDash,
                   Visit visit) {
    std::shared_ptr<const FileLines> table = files.read(ref.path);
    LineReader reader(std::move(table), std::move(ref.path), files.cancel());
    std::int32_t picks = ref.picks;
    std::string storage;
    std::string_view line;
    while (reader.next(line)) {
        if (line == "-") {
            picks = 1;
            onDash();
            continue;
        }
        try {
            if (!visit(dropStep(separated(line, decimalSeparator, storage), picks)))
                return;
        } catch (DropError& e) {
            e.locate(reader.location());
            throw;
        }
    }
}

} // namespace qdc
