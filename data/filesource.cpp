#include "data/filesource.h"

#include "data/datapath.h"
#include "results/error.h"

namespace qdc {

std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool atLineStart = true;
    bool pending = false; // a line has begun
    for (char c : bytes) {
        if (atLineStart && c == '\x1a')
            return lines;
        atLineStart = false;
        if (c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            atLineStart = true;
            pending = false;
        } else if (c != '\r') {
            line += c;
            pending = true;
        } else {
            pending = true;
        }
    }
    if (pending)
        lines.push_back(std::move(line));
    return lines;
}

bool LineReader::next(std::string& line) {
    if (index_ < file_->lines.size()) {
        line = file_->lines[index_++];
        return true;
    }
    if (file_->error)
        throw *file_->error;
    return false;
}

std::shared_ptr<const FileLines> makeFileLines(std::string bytes,
                                               std::optional<DropError> readError) {
    auto file = std::make_shared<FileLines>();
    file->lines = splitLines(bytes);
    file->error = std::move(readError);
    return file;
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
    const auto it = cache_.find(path);
    if (it != cache_.end())
        return it->second;
    auto file = source_.load(path);
    cache_.emplace(path, file);
    return file;
}

std::string difficultyPath(const std::string& difficulty, const std::string& name) {
    std::string path = difficulty + "/" + name;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

} // namespace qdc
