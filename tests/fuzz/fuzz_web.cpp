// The web module's way in: the words of a command and the files of a folder
// as the page's worker writes them. Besides surviving any input, it keeps
// these promises:
// - words read back are the words written, and bytes that are not words as
//   written are refused whole;
// - a file's path either names a file listed under a plain path (no empty,
//   "." or ".." part, inside the folder), where its bytes are read back, or is
//   refused with "Invalid filename" at that path, on one line with no control
//   character but TAB, and nothing is stored.

#include "data/datapath.h"
#include "data/filesource.h"
#include "web/passing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

void words(const std::string& bytes) {
    if (const auto decoded = qdc::web::decodeWords(bytes))
        check(qdc::web::encodeWords(*decoded) == bytes);
}

bool isPlain(const std::string& path) {
    if (!qdc::staysInDataFolder(path))
        return false;
    for (std::size_t begin = 0; begin <= path.size();) {
        const std::size_t end = std::min(path.find('/', begin), path.size());
        const std::string part = path.substr(begin, end - begin);
        if (part.empty() || part == "." || part == "..")
            return false;
        begin = end + 1;
    }
    return true;
}

// The first byte is the size of the path at the end of the rest.
void file(const std::string& bytes) {
    std::string input = bytes.substr(1);
    const std::string path = qdc::web::takePath(input, static_cast<unsigned char>(bytes[0]));
    check(input + path == bytes.substr(1));
    qdc::MemoryFileSource files;
    try {
        files.set(path, input);
    } catch (const qdc::DropError& e) {
        check(e.message() == "Invalid filename" && e.location() && e.location()->path == path);
        for (const char c : qdc::web::refusal(e))
            check((static_cast<unsigned char>(c) >= 0x20 || c == '\t') && c != 0x7F);
        check(files.paths().empty());
        return;
    }
    const auto stored = files.paths();
    check(stored.size() == 1 && isPlain(stored[0]));
    check(files.read(stored[0])->bytes == input);
    files.set(stored[0], "again");
    check(files.paths() == stored);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    words(bytes);
    if (!bytes.empty())
        file(bytes);
    return 0;
}
