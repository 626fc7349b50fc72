#pragma once

#include "results/error.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qdc {

// The lines of one text file, as far as they could be read. When reading
// stopped on an error, `error` holds it and is raised after the last line read.
struct FileLines {
    std::vector<std::string> lines;
    std::optional<DropError> error;
};

// Splits single-byte text into lines: a line ends at LF or CR LF, any other CR
// is dropped, a Ctrl-Z at the start of a line ends the file, and the last line
// needs no line end.
std::vector<std::string> splitLines(const std::string& bytes);

// A file as read: its bytes cut into lines, and the error that stopped the
// reading partway, if any.
std::shared_ptr<const FileLines> makeFileLines(std::string bytes,
                                               std::optional<DropError> readError = std::nullopt);

// Reads one opened file line by line.
class LineReader {
  public:
    explicit LineReader(std::shared_ptr<const FileLines> file) : file_(std::move(file)) {}
    // The next line, or false at the end of the file. Raises the file's read
    // error where it happened.
    bool next(std::string& line);

  private:
    std::shared_ptr<const FileLines> file_;
    std::size_t index_ = 0;
};

// Where the data files come from. Paths are relative to the data directory,
// with "/" between their parts. Opening a file that cannot be read raises a
// DropError with the user's message: "File not found", "Invalid filename" (a
// folder on the path is missing), "File access denied", "Too many open files"
// or "I/O error <code>".
class FileSource {
  public:
    virtual ~FileSource() = default;
    LineReader open(const std::string& path) { return LineReader(load(path)); }
    virtual std::shared_ptr<const FileLines> load(const std::string& path) = 0;
};

// Files held in memory, for tests and fuzzing. A path whose folder holds no
// file is "Invalid filename"; a path that names a folder is "File access
// denied".
class MemoryFileSource : public FileSource {
  public:
    MemoryFileSource() = default;
    MemoryFileSource(std::initializer_list<std::pair<const std::string, std::string>> files)
        : files_(files) {}
    void set(const std::string& path, const std::string& bytes) { files_[path] = bytes; }
    std::shared_ptr<const FileLines> load(const std::string& path) override;

  private:
    std::map<std::string, std::string> files_;
};

// Keeps every file it has loaded, so that a search reads each file once
// however often it walks it. Open errors are not kept: they end the search.
class CachingFileSource : public FileSource {
  public:
    explicit CachingFileSource(FileSource& source) : source_(source) {}
    std::shared_ptr<const FileLines> load(const std::string& path) override;

  private:
    FileSource& source_;
    std::map<std::string, std::shared_ptr<const FileLines>> cache_;
};

// The path of `name` inside the folder of `difficulty`, with every "\" of the
// name taken as a folder separator.
std::string difficultyPath(const std::string& difficulty, const std::string& name);

} // namespace qdc
