#include "web/browserfiles.h"

#include "data/diskfilesource_common.h"

#include <emscripten/emscripten.h>

#include <new>
#include <utility>

namespace {

// The buffer of the file being read: the worker asks for room of the file's
// size, writes its bytes there, and the file keeps the buffer.
std::string reading;

} // namespace

// The worker's call that reads file `number` of folder `folder` into
// dropcalc_file_room(): a BrowserRead.
EM_JS(int, dropcalc_read_browser_file, (int folder, int number),
      { return Module['readBrowserFile'](folder, number); });

extern "C" {

// Room for the `size` bytes of the file being read; null when the file is
// larger than a data file may be or memory ran out.
EMSCRIPTEN_KEEPALIVE char* dropcalc_file_room(std::size_t size) {
    if (size > qdc::kMaxFileBytes)
        return nullptr;
    try {
        reading.resize(size);
    } catch (const std::bad_alloc&) {
        reading = std::string();
        return nullptr;
    }
    return reading.data();
}

} // extern "C"

namespace qdc::web {

void BrowserFileSource::add(const std::string& path, int number) {
    numbers_[set(path, std::string())] = number;
}

std::shared_ptr<const FileLines> BrowserFileSource::load(const std::string& path) {
    const int number = numbers_.at(resolve(path));
    reading = std::string();
    const auto outcome = static_cast<BrowserRead>(dropcalc_read_browser_file(folder_, number));
    return browserFile(outcome, std::exchange(reading, std::string()));
}

std::shared_ptr<const FileLines> browserFile(BrowserRead outcome, std::string bytes) {
    switch (outcome) {
    case BrowserRead::Read:
        return makeFileLines(std::move(bytes));
    case BrowserRead::NotFound:
        throw DropError("File not found");
    case BrowserRead::OutOfMemory:
        // As on disk: the file ends where memory ran out, with the error.
        return makeFileLines(std::string(), DropError("Out of memory"));
    default:
        throw DropError("File access denied");
    }
}

} // namespace qdc::web
