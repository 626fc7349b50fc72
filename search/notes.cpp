#include "search/notes.h"

#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/error.h"
#include "results/utf8.h"

#include <algorithm>
#include <cstddef>

namespace qdc {

namespace {

// At most 200 bytes of the name, as the messages quote a text.
std::string quoted(const std::string& name) {
    return "\"" + shortened(name) + "\"";
}

// The characters of `text`, decoded from UTF-8 when it is UTF-8, one a byte
// otherwise, with the letters of the single-byte range in lower case.
std::u32string comparisonKey(const std::string& text) {
    std::u32string key;
    key.reserve(text.size());
    if (!decodeUtf8(text, key)) {
        key.clear();
        for (const char byte : text)
            key += static_cast<unsigned char>(byte);
    }
    for (char32_t& c : key)
        if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            c += 0x20;
    return key;
}

// How many edits apart `a` and `b` are (insertions, deletions, substitutions
// and swaps of two neighbours), or `limit` + 1 when that is more than `limit`.
std::size_t editDistance(const std::u32string& a, const std::u32string& b, std::size_t limit) {
    const std::size_t apart = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (apart > limit)
        return limit + 1;
    // Three rows of the table: two rows back, the last row and this row.
    std::vector<std::size_t> before(b.size() + 1);
    std::vector<std::size_t> last(b.size() + 1);
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        last[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        std::size_t least = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], before[j - 2] + 1);
            least = std::min(least, row[j]);
        }
        if (least > limit)
            return limit + 1;
        std::swap(before, last);
        std::swap(last, row);
    }
    return std::min(last[b.size()], limit + 1);
}

// How many edits a name of `length` characters may be from a listed one: none
// below three characters, one up to five, two from six on, so that a short
// name is not like every short name.
std::size_t editsAllowed(std::size_t length) {
    return std::min<std::size_t>(2, length / 3);
}

// The note, with the listed names like `name` that `read` collects, meant
// for the search's input `input`; a list that cannot be read gives no
// suggestion.
template <class Read>
SearchNote suggesting(const std::string& sentence, const std::string& name, Read read,
                      std::size_t input = 0) {
    std::vector<std::string> listed;
    try {
        read(listed);
    } catch (const DropError&) {
    }
    SearchNote note(sentence);
    note.suggestions = similarNames(name, listed);
    note.text += suggestionText(note.suggestions);
    note.input = input;
    return note;
}

} // namespace

std::vector<std::string> similarNames(const std::string& name,
                                      const std::vector<std::string>& listed) {
    const std::u32string key = comparisonKey(name);
    const std::size_t limit = editsAllowed(key.size());
    // The best kSuggestions so far, nearest first, in the order of the list
    // among names as near.
    std::vector<std::pair<std::size_t, const std::string*>> best;
    for (const std::string& candidate : listed) {
        if (candidate == name)
            return {};
        const std::size_t edits = editDistance(key, comparisonKey(candidate), limit);
        if (edits > limit)
            continue;
        const auto at = std::upper_bound(best.begin(), best.end(), edits,
                                         [](std::size_t e, const auto& b) { return e < b.first; });
        if (at - best.begin() < static_cast<std::ptrdiff_t>(kSuggestions)) {
            best.insert(at, {edits, &candidate});
            if (best.size() > kSuggestions)
                best.pop_back();
        }
    }
    std::vector<std::string> names;
    names.reserve(best.size());
    for (const auto& b : best)
        names.push_back(*b.second);
    return names;
}

std::string suggestionText(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const char* before = i == 0 ? "; did you mean " : i + 1 == names.size() ? " or " : ", ";
        text += before + quoted(names[i]);
    }
    return names.empty() ? text : text + "?";
}

SearchNote missingMonsterNote(FileSource& files, const std::string& monster,
                              Difficulty difficulty) {
    return suggesting(
        "no monster named " + quoted(monster) + " in " + monsterListPath(difficulty), monster,
        [&](std::vector<std::string>& listed) { readMonsterNames(files, listed, difficulty); });
}

SearchNote missingUniqueNote(FileSource& files, const std::string& unique) {
    return suggesting("no unique item named " + quoted(unique) + " in unilist.txt", unique,
                      [&](std::vector<std::string>& listed) { readUniqueNames(files, listed); });
}

SearchNote missingBaseSetNote(FileSource& files, const std::string& baseSet) {
    return suggesting("no base set named " + quoted(baseSet) + " in setlist.txt", baseSet,
                      [&](std::vector<std::string>& listed) { readBaseSetNames(files, listed); });
}

SearchNote missingSetItemNote(FileSource& files, const std::string& baseSet,
                              const std::string& setItem) {
    return suggesting(
        "no set item named " + quoted(setItem) + " in base set " + quoted(baseSet) +
            " in setlist.txt",
        setItem,
        [&](std::vector<std::string>& listed) {
            bool readOthers = false;
            readSetItemNames(files, baseSet, listed, readOthers);
        },
        1);
}

SearchNote otherBaseSetNote(const std::string& setItem, const std::string& holdingSet,
                            const std::string& baseSet) {
    SearchNote note(
        "set item " + quoted(setItem) + " is in base set " + quoted(holdingSet) +
        (baseSet.empty() ? ", and no base set is chosen" : ", not in base set " + quoted(baseSet)));
    note.suggestions = {holdingSet};
    note.text += suggestionText(note.suggestions);
    return note;
}

SearchNote unnamedItemNote(FileSource& files, const std::string& item, DifficultySet difficulties) {
    std::string names;
    for (const Difficulty d : kAllDifficulties)
        if (difficulties.has(d))
            names += (names.empty() ? "" : ", ") + difficultyName(d);
    if (names.empty())
        return noDifficultyNote();
    return suggesting("no drop table of " + names + " names " + quoted(item), item,
                      [&](std::vector<std::string>& listed) { readItemNames(files, listed); });
}

SearchNote noDifficultyNote() {
    return "no difficulty is chosen";
}

} // namespace qdc
