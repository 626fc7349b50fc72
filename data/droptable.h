#pragma once

#include "data/filesource.h"
#include "data/monsterlist.h"

#include <cstdint>
#include <memory>
#include <optional>
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

// A drop-table line as every reader takes it: nothing for a line that is
// exactly "-", the cut of `line` with its full stops made separators
// otherwise (`storage` may hold that copy).
std::optional<DropStep> cutDropLine(std::string_view line, char decimalSeparator,
                                    std::string& storage, std::int32_t picks);

// The lines of a drop table from `reader`, as every walk takes them: a line
// that is exactly "-" starts extra single picks (the picks become 1 and
// onDash() is called); every other line goes to visit(step), which returns
// false to stop there.
template <class OnDash, class Visit>
void walkDropLines(LineReader& reader, std::int32_t picks, char decimalSeparator, OnDash onDash,
                   Visit visit) {
    std::string storage;
    std::string_view line;
    while (reader.next(line)) {
        const std::optional<DropStep> step = cutDropLine(line, decimalSeparator, storage, picks);
        if (!step) {
            picks = 1;
            onDash();
        } else if (!visit(*step)) {
            return;
        }
    }
}

// Walks one drop table with walkDropLines(). An error raised over a line is
// located at it; a table that cannot be opened is said to be named by the
// ref's monster-list line.
template <class OnDash, class Visit>
void walkDropTable(FileSource& files, DropTableRef ref, char decimalSeparator, OnDash onDash,
                   Visit visit) {
    std::shared_ptr<const FileLines> table;
    try {
        table = files.read(ref.path);
    } catch (DropError& e) {
        if (ref.namedBy.line > 0)
            e.setNamedBy(std::move(ref.namedBy));
        throw;
    }
    LineReader reader(std::move(table), std::move(ref.path), files.cancel());
    walkDropLines(reader, ref.picks, decimalSeparator, onDash, [&](const DropStep& step) {
        try {
            return visit(step);
        } catch (DropError& e) {
            e.locate(reader.location());
            throw;
        }
    });
}

} // namespace qdc
