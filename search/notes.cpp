#include "search/notes.h"

#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/error.h"
#include "results/utf8.h"

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
