#include "data/filesource.h"

#include "data/datapath.h"
#include "results/error.h"

#include <algorithm>

namespace qdc {

std::vector<std::string> splitLines(const std::string& bytes) {
    LineReader reader(makeFileLines(bytes));
    std::vector<std::string> lines;
    for (std::string line; reader.next(line);)
        lines.push_back(line);
    return lines;
}

namespace {

[[noreturn]] void throwCancelled() {
    throw SearchCancelled{};
}

} // namespace

bool LineReader::next(std::string_view& line) {
    if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed))
        throwCancelled();
    const std::string& bytes = file_->bytes;
    // A Ctrl-Z at the start of a line ends the file.
    if (pos_ >= bytes.size() || bytes[pos_] == '\x1a') {
        pos_ = bytes.size();
        if (file_->error) {
            DropError error = *file_->error;
            error.locate({path_, 0, {}});
            throw error;
        }
        return false;
    }
    const std::size_t end = std::min(bytes.find('\n', pos_), bytes.size());
    const std::string_view raw(bytes.data() + pos_, end - pos_);
    pos_ = end + 1;
    ++number_;
    if (!file_->hasCarriageReturn || raw.find('\r') == std::string_view::npos) {
        line_ = raw;
    } else {
        scratch_.clear();
        for (const char c : raw)
            if (c != '\r')
                scratch_ += c;
        line_ = scratch_;
    }
    line = line_;
    return true;
}

bool LineReader::next(std::string& line) {
    std::string_view view;
    if (!next(view))
        return false;
    line.assign(view);
    return true;
}

ErrorLocation LineReader::location() const {
    return {path_, number_, shortened(line_)};
}

ErrorLocation lineLocation(FileSource& files, const std::string& path, int line) {
    LineReader reader = files.open(path);
    std::string_view text;
    while (reader.lineNumber() < line && reader.next(text)) {
    }
    return reader.location();
}

std::shared_ptr<const FileLines> makeFileLines(std::string bytes,
                                               std::optional<DropError> readError) {
    auto file = std::make_shared<FileLines>();
    file->bytes = std::move(bytes);
    file->error = std::move(readError);
    file->hasCarriageReturn = file->bytes.find('\r') != std::string::npos;
    return file;
}

std::shared_ptr<const FileLines> FileSource::read(const std::string& path) {
    try {
        return load(path);
    } catch (DropError& e) {
        e.locate({path, 0, {}});
        throw;
    }
}

std::shared_ptr<const FileLines> FileSource::loadReusingOrNull(const std::string& path,
                                                               std::shared_ptr<FileLines>& spare,
                                                               std::optional<DropError>& failed) {
    try {
        return loadReusing(path, spare);
    } catch (const DropError& e) {
        failed = e;
        return nullptr;
    }
}

MemoryFileSource::MemoryFileSource(
    std::initializer_list<std::pair<const std::string, std::string>> files) {
    for (const auto& [path, bytes] : files)
        set(path, bytes);
}

namespace {

// The longest name of one part, and of a whole path, that a disk takes.
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kPathMax = 4095;

// `path` with its "." and empty parts left out and each ".." taking away the
// part before it: the file a disk would name by it. Raises "Invalid filename",
// located at the path, for a path that leaves the folder or holds a NUL (see
// staysInDataFolder()), names a folder rather than a file (empty, or ending
// in "/", "." or ".."), or is longer than a disk takes.
std::string plainPath(const std::string& path) {
    checkDataPath(path);
    std::string plain;
    bool named = path.size() <= kPathMax;
    for (std::size_t begin = 0; named && begin <= path.size();) {
        const std::size_t end = std::min(path.find('/', begin), path.size());
        const std::string_view part(path.data() + begin, end - begin);
        begin = end + 1;
        const bool folderOnly = part.empty() || part == "." || part == "..";
        if (part.size() > kNameMax || (folderOnly && begin > path.size())) {
            named = false;
        } else if (part == "..") {
            const std::size_t slash = plain.find_last_of('/');
            plain.resize(slash == std::string::npos ? 0 : slash);
        } else if (!folderOnly) {
            plain += plain.empty() ? "" : "/";
            plain += part;
        }
    }
    if (named)
        return plain;
    DropError error("Invalid filename");
    error.locate({path, 0, ""});
    throw error;
}

} // namespace

std::string MemoryFileSource::set(const std::string& path, std::string bytes) {
    std::string plain = plainPath(path);
    if (files_.insert_or_assign(plain, makeFileLines(std::move(bytes))).second) {
        for (std::size_t slash = plain.find('/'); slash != std::string::npos;
             slash = plain.find('/', slash + 1))
            folders_.insert(plain.substr(0, slash));
    }
    return plain;
}

std::vector<std::string> MemoryFileSource::paths() const {
    std::vector<std::string> paths;
    paths.reserve(files_.size());
    for (const auto& entry : files_)
        paths.push_back(entry.first);
    return paths;
}

bool MemoryFileSource::isFolder(const std::string& path) const {
    return path.empty() || folders_.contains(path);
}

std::shared_ptr<const FileLines> MemoryFileSource::load(const std::string& path) {
    return files_.at(resolve(path));
}

std::string MemoryFileSource::resolve(const std::string& path) const {
    checkDataPath(path);
    if (path.empty())
        throw DropError("File not found");
    if (path.size() > kPathMax)
        throw DropError("Invalid filename");
    // The path resolved part by part; `parent` is the folder of its last part.
    std::string resolved;
    std::string parent;
    bool folderOnly = false; // the path ends in "/", "." or ".."
    std::size_t begin = 0;
    while (begin <= path.size()) {
        const std::size_t end = std::min(path.find('/', begin), path.size());
        const std::string_view part(path.data() + begin, end - begin);
        begin = end + 1;
        folderOnly = part.empty() || part == "." || part == "..";
        if (part.size() > kNameMax)
            throw DropError("Invalid filename");
        if (part == "..") {
            if (!isFolder(resolved))
                throw DropError("Invalid filename");
            const std::size_t slash = resolved.find_last_of('/');
            resolved.resize(slash == std::string::npos ? 0 : slash);
        } else if (!folderOnly) {
            parent = resolved;
            resolved += resolved.empty() ? "" : "/";
            resolved += part;
        }
    }
    if (files_.contains(resolved)) {
        if (folderOnly)
            throw DropError("Invalid filename");
        return resolved;
    }
    if (isFolder(resolved))
        throw DropError("File access denied");
    throw DropError(!folderOnly && isFolder(parent) ? "File not found" : "Invalid filename");
}

std::shared_ptr<const FileLines> CachingFileSource::load(const std::string& path) {
    const auto cached = cache_.find(path);
    if (cached != cache_.end())
        return cached->second;
    if (!keeping_)
        return source_.load(path);
    return cache_.emplace(path, source_.load(path)).first->second;
}

std::string difficultyPath(const std::string& difficulty, const std::string& name) {
    std::string path = difficulty + "/" + name;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

} // namespace qdc
