#include "search/notes.h"

#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/error.h"

namespace qdc {

namespace {

std::string quoted(const std::string& name) {
    return "\"" + shortened(name) + "\"";
}

// The characters of well-formed UTF-8 `text` into `out`; false when it is not.
bool decodeUtf8(const std::string& text, std::u32string& out) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i++]);
        const std::size_t follow = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        if ((lead >= 0x80 && lead < 0xC2) || lead >= 0xF5 || i + follow > text.size())
            return false;
        char32_t c = follow == 0 ? lead : lead & (0x3FU >> follow);
        for (std::size_t k = 0; k < follow; ++k) {
            const auto next = static_cast<unsigned char>(text[i++]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3FU);
        }
        out += c;
    }
    return true;
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

// The note, with the listed name like `name` that `read` collects; a list
// that cannot be read gives no suggestion.
template <class Read> std::string suggesting(std::string note, const std::string& name, Read read) {
    std::vector<std::string> listed;
    try {
        read(listed);
    } catch (const DropError&) {
    }
    if (const std::optional<std::string> similar = similarName(name, listed))
        note += "; did you mean " + quoted(*similar) + "?";
    return note;
}

} // namespace

std::optional<std::string> similarName(const std::string& name,
                                       const std::vector<std::string>& listed) {
    const std::u32string key = comparisonKey(name);
    std::optional<std::string> similar;
    for (const std::string& candidate : listed) {
        if (candidate == name)
            return std::nullopt;
        if (!similar && comparisonKey(candidate) == key)
            similar = candidate;
    }
    return similar;
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
    return suggesting("no set item named " + quoted(setItem) + " in base set " + quoted(baseSet) +
                          " in setlist.txt",
                      setItem, [&](std::vector<std::string>& listed) {
                          bool readOthers = false;
                          readSetItemNames(files, baseSet, listed, readOthers);
                      });
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
