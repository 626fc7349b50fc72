#include "data/encoding.h"

#include "data/filesource.h"
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

} // namespace qdc
