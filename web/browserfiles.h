#pragma once

#include "data/filesource.h"

#include <memory>
#include <string>
#include <unordered_map>

namespace qdc::web {

// A data folder whose files the browser holds: the page's worker keeps them
// (File objects) and only their paths are kept here. Each file is read when
// it is opened, whole into one buffer of its own, so that a folder of any
// size opens at once and a file edited since is read as it is now. Paths
// name files by MemoryFileSource's rules.
class BrowserFileSource : public MemoryFileSource {
  public:
    // `folder` is the number by which the worker knows the folder's files.
    explicit BrowserFileSource(int folder) : folder_(folder) {}
    // Adds the worker's file `number` of the folder at `path`, refused as
    // MemoryFileSource::set() refuses a path.
    void add(const std::string& path, int number);
    // Reads the file from the worker. One the browser no longer finds is
    // "File not found", one it refuses to read "File access denied", and one
    // larger than a data file may be, or whose bytes do not fit in memory,
    // ends with "Out of memory" as on disk.
    std::shared_ptr<const FileLines> load(const std::string& path) override;

  private:
    int folder_;
    std::unordered_map<std::string, int> numbers_;
};

// How the worker's reading of a file ended, as it tells the module.
enum class BrowserRead { Read = 0, NotFound = 1, Unreadable = 2, OutOfMemory = 3 };

// The file that a read which ended with `outcome` gives, `bytes` what it
// read; a file that could not be opened raises its error.
std::shared_ptr<const FileLines> browserFile(BrowserRead outcome, std::string bytes);

} // namespace qdc::web
