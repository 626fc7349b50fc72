#pragma once

#include "results/error.h"

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>
#include <vector>

namespace qdc {

// One text file as read: all its bytes in one buffer, cut into lines only as
// they are read. When reading stopped on an error, `error` holds it and is
// raised after the last line read.
struct FileLines {
    std::string bytes;
    std::optional<DropError> error;
    bool hasCarriageReturn = true; // false when no line needs a CR taken out
};

// What a reader raises when its cancel flag is set: the search that read the
// line gives up. Not a data error: nothing is wrong with the data.
struct SearchCancelled {};

// Splits single-byte text into lines: a line ends at LF or CR LF, any other CR
// is dropped, a Ctrl-Z at the start of a line ends the file, and the last line
// needs no line end.
std::vector<std::string> splitLines(const std::string& bytes);

// A file as read: its bytes, and the error that stopped the reading partway,
// if any.
std::shared_ptr<const FileLines> makeFileLines(std::string bytes,
                                               std::optional<DropError> readError = std::nullopt);

// Reads one opened file line by line, cutting each line out of the file's
// buffer as it is reached. Knows where it is, so that an error raised over a
// line can say which.
class LineReader {
  public:
    explicit LineReader(std::shared_ptr<const FileLines> file, std::string path = {},
                        const std::atomic<bool>* cancel = nullptr)
        : file_(std::move(file)), path_(std::move(path)), cancel_(cancel) {}
    // The next line, or false at the end of the file. Raises the file's read
    // error where it happened, and SearchCancelled before reading a line once
    // the cancel flag is set. A view stays valid until the next call.
    bool next(std::string_view& line);
    bool next(std::string& line);

    const std::string& path() const { return path_; }
    // The 1-based number of the line last read; 0 before the first.
    int lineNumber() const { return number_; }
    // Where the line last read is, for an error raised over it.
    ErrorLocation location() const;

  private:
    std::shared_ptr<const FileLines> file_;
    std::string path_;
    std::size_t pos_ = 0;
    int number_ = 0;
    std::string_view line_;
    std::string scratch_; // a line that held a lone CR, without it
    const std::atomic<bool>* cancel_;
};

// Calls visit(line) for every line of `reader`; an error raised by visit is
// located at that line (unless it knows its place already).
template <class Visit> void forEachLine(LineReader& reader, Visit visit) {
    std::string_view line;
    while (reader.next(line)) {
        try {
            visit(line);
        } catch (DropError& e) {
            e.locate(reader.location());
            throw;
        }
    }
}

// Runs `work`, locating any error it raises at `where`.
template <class Work> decltype(auto) locatedAt(const ErrorLocation& where, Work work) {
    try {
        return work();
    } catch (DropError& e) {
        e.locate(where);
        throw;
    }
}

class ParsedFiles;

// Where the data files come from. Paths are relative to the data directory,
// with "/" between their parts. Opening a file that cannot be read raises a
// DropError with the user's message: "File not found", "Invalid filename" (a
// folder on the path is missing), "File access denied", "Too many open files"
// or "I/O error <code>".
class FileSource {
  public:
    virtual ~FileSource() = default;
    LineReader open(const std::string& path) { return LineReader(read(path), path, cancel_); }
    // The flag that the readers it opens look at before each line; none by
    // default. Set by another thread to cancel the reading.
    const std::atomic<bool>* cancel() const { return cancel_; }
    // The file, an error opening it located at its path.
    std::shared_ptr<const FileLines> read(const std::string& path);
    virtual std::shared_ptr<const FileLines> load(const std::string& path) = 0;
    // What the list readers parsed from its files, kept for the readers
    // that follow; null (the default) when each reader parses for itself.
    virtual ParsedFiles* parsed() { return nullptr; }
    // The file as load() gives it. A source that reads each file into a
    // buffer of its own may read it into `spare` instead, when nothing else
    // holds `spare` (into a new one that `spare` then holds otherwise): a
    // reader that lets go of each file before the next reuses one buffer.
    virtual std::shared_ptr<const FileLines> loadReusing(const std::string& path,
                                                         std::shared_ptr<FileLines>& spare) {
        static_cast<void>(spare);
        return load(path);
    }
    // The file as loadReusing() gives it, or null when it cannot be opened,
    // its error then in `failed`. A source that can tell a failed open
    // without raising it (as a missing drop table often is) does so.
    virtual std::shared_ptr<const FileLines> loadReusingOrNull(const std::string& path,
                                                               std::shared_ptr<FileLines>& spare,
                                                               std::optional<DropError>& failed);

  protected:
    const std::atomic<bool>* cancel_ = nullptr;
};

// Files held in memory: the web edition's data folders, tests and fuzzing.
// Paths are read as the disk source's are: "." and empty parts are passed
// over, ".." goes up from a folder that exists, a path that names a folder is
// "File access denied", and a missing file is "File not found" in a folder
// that exists and "Invalid filename" otherwise. A folder exists while a file
// lies in it.
class MemoryFileSource : public FileSource {
  public:
    MemoryFileSource() = default;
    MemoryFileSource(std::initializer_list<std::pair<const std::string, std::string>> files);
    // Adds or replaces the file that `path` names as it would on disk: under
    // its plain form, without "." or empty parts, each ".." taking away the
    // part before it. A path that leaves the folder, holds a NUL, names no
    // file (empty, or ending in "/", "." or "..") or is longer than a disk
    // takes is refused with "Invalid filename", located at it. Returns the
    // plain form.
    std::string set(const std::string& path, std::string bytes);
    std::shared_ptr<const FileLines> load(const std::string& path) override;
    // The plain form of the path of the file that `path` names, as set() keeps
    // it; raises what load() raises when it names none.
    std::string resolve(const std::string& path) const;
    // The paths of all files, in byte order.
    std::vector<std::string> paths() const;

  private:
    bool isFolder(const std::string& path) const;

    std::map<std::string, std::shared_ptr<const FileLines>> files_;
    std::set<std::string> folders_; // "a" and "a/b" for "a/b/c.txt"
};

// Keeps the files it has loaded, so that a search reads each file once
// however often it walks it, until release() says it will not walk it again.
// While keeping is off, the files it loads are not kept (a file read only once
// need not be). Open errors are not kept: they end the search.
class CachingFileSource : public FileSource {
  public:
    explicit CachingFileSource(FileSource& source, const std::atomic<bool>* cancel = nullptr)
        : source_(source) {
        cancel_ = cancel;
    }
    std::shared_ptr<const FileLines> load(const std::string& path) override;
    void release(const std::string& path) { cache_.erase(path); }
    void setKeeping(bool on) { keeping_ = on; }
    bool keeping() const { return keeping_; }
    ParsedFiles* parsed() override { return source_.parsed(); }

  private:
    FileSource& source_;
    std::unordered_map<std::string, std::shared_ptr<const FileLines>> cache_;
    bool keeping_ = true;
};

// What the list readers parsed from the files of one source, each entry
// under the path of its file, its type and a variant (how it was cut). An
// entry gives the same answers and errors as reading its file anew: a
// reader keeps one only when that holds (mostly, for a file that read
// clean), and reads for itself otherwise.
class ParsedFiles {
  public:
    explicit ParsedFiles(FileSource& files) : files_(files) {}
    // The source the entries were parsed from, for an entry that reads on
    // lazily.
    FileSource& files() { return files_; }
    template <class T> std::shared_ptr<T> find(const std::string& path, int variant = 0) const {
        const auto found = entries_.find({path, std::type_index(typeid(T)), variant});
        return found == entries_.end()
                   ? nullptr
                   : std::const_pointer_cast<T>(std::static_pointer_cast<const T>(found->second));
    }
    template <class T> void keep(const std::string& path, int variant, std::shared_ptr<T> entry) {
        entries_[{path, std::type_index(typeid(T)), variant}] = std::move(entry);
    }

  private:
    FileSource& files_;
    std::map<std::tuple<std::string, std::type_index, int>, std::shared_ptr<const void>> entries_;
};

// The files of another source as it gives them, with what the list readers
// parse from them kept: the searches that run one after another over it (as
// comparing two folders does) parse each list once between them. The files
// must not change while it lives.
class SharedParsingSource : public FileSource {
  public:
    explicit SharedParsingSource(FileSource& source) : source_(source), parsed_(*this) {
        cancel_ = source.cancel();
    }
    std::shared_ptr<const FileLines> load(const std::string& path) override {
        return source_.load(path);
    }
    ParsedFiles* parsed() override { return &parsed_; }

  private:
    FileSource& source_;
    ParsedFiles parsed_;
};

// The entry of `path` that `files` keeps parsed, or else what read() gives,
// kept when `kept(entry)` says it answers as reading the file anew would.
template <class T, class Read, class Kept>
std::shared_ptr<T> parsedOnce(FileSource& files, const std::string& path, int variant, Read read,
                              Kept kept) {
    ParsedFiles* parsed = files.parsed();
    if (parsed == nullptr)
        return read();
    if (std::shared_ptr<T> entry = parsed->find<T>(path, variant))
        return entry;
    std::shared_ptr<T> entry = read();
    if (kept(*entry))
        parsed->keep(path, variant, entry);
    return entry;
}

// Where line `line` (1-based) of `path` is, as a reader there would say: for
// an error met after the walk over the file went on. Reads the file again.
ErrorLocation lineLocation(FileSource& files, const std::string& path, int line);

// The path of `name` inside the folder of `difficulty`, with every "\" of the
// name taken as a folder separator.
std::string difficultyPath(const std::string& difficulty, const std::string& name);

} // namespace qdc
