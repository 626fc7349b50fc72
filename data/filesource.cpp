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

std::shared_ptr<const FileLines> MemoryFileSource::load(const std::string& path) {
    checkDataPath(path);
    const auto it = files_.find(path);
    if (it != files_.end()) {
        return makeFileLines(it->second);
    }
    const std::string folder = !path.empty() && path.back() == '/' ? path : path + "/";
    const std::size_t slash = path.find_last_of('/');
    const std::string parent = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    bool parentExists = parent.empty();
    for (const auto& entry : files_) {
        if (entry.first.compare(0, folder.size(), folder) == 0)
            throw DropError("File access denied");
        if (!parent.empty() && entry.first.compare(0, parent.size(), parent) == 0)
            parentExists = true;
    }
    throw DropError(parentExists ? "File not found" : "Invalid filename");
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
