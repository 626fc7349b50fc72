#include "data/encoding.h"

#include "data/difficulty.h"
#include "data/filesource.h"
#include "data/itemlist.h"
#include "data/monsterlist.h"
#include "data/setlist.h"
#include "data/unilist.h"
#include "results/utf8.h"

namespace qdc {

bool listsAreUtf8(FileSource& files) {
    static const char* const lists[] = {"Normal/monsterlist.txt",
                                        "Nightmare/monsterlist.txt",
                                        "Hell/monsterlist.txt",
                                        "itemlist.txt",
                                        "setlist.txt",
                                        "unilist.txt"};
    bool high = false;
    for (const char* name : lists) {
        std::shared_ptr<const FileLines> file;
        try {
            file = files.read(name);
        } catch (const DropError&) {
            continue;
        }
        if (isAscii(file->bytes))
            continue;
        if (!isUtf8(file->bytes))
            return false;
        high = true;
    }
    return high;
}

NameBook readNameBook(FileSource& files) {
    NameBook book(listsAreUtf8(files));
    std::vector<std::string> names;
    const auto tryRead = [&](auto read) {
        try {
            read();
        } catch (const DropError&) {
            // Keeps what was read.
        }
    };
    for (const Difficulty d : kAllDifficulties)
        tryRead([&] { readMonsterNames(files, names, d); });
    tryRead([&] { readItemNames(files, names); });
    tryRead([&] { readUniqueNames(files, names); });
    // The base sets and, in one pass, the set items of every block.
    tryRead([&] {
        LineReader reader = files.open("setlist.txt");
        std::string_view line;
        while (reader.next(line)) {
            SetListLine cut = cutSetListLine(line);
            names.push_back(std::move(cut.header ? cut.setKey : cut.beforeComma));
        }
    });
    for (const std::string& name : names)
        book.add(name);
    return book;
}

} // namespace qdc
