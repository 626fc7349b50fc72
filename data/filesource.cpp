#include "data/filesource.h"

#include "results/error.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        throw DropError(*file_->error);
    return false;
}

namespace {

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string messageFor(int err, const std::string& fullPath) {
    switch (err) {
    case ENOENT:
        return isDirectory(parentOf(fullPath)) ? "File not found" : "Invalid filename";
    case ENOTDIR:
    case ENAMETOOLONG:
        return "Invalid filename";
    case EACCES:
    case EPERM:
    case EISDIR:
        return "File access denied";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    default:
        return "I/O error " + std::to_string(err);
    }
}

} // namespace

std::shared_ptr<const FileLines> DiskFileSource::load(const std::string& path) {
    const std::string fullPath = directory_.empty() ? path : directory_ + "/" + path;
    const int fd = ::open(fullPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw DropError(messageFor(errno, fullPath));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw DropError("File access denied");
    }
    auto file = std::make_shared<FileLines>();
    std::string bytes;
    char buf[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got > 0) {
            bytes.append(buf, static_cast<std::size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            file->error = messageFor(errno, fullPath);
            break;
        }
    }
    ::close(fd);
    file->lines = splitLines(bytes);
    return file;
}

std::shared_ptr<const FileLines> MemoryFileSource::load(const std::string& path) {
    const auto it = files_.find(path);
    if (it != files_.end()) {
        auto file = std::make_shared<FileLines>();
        file->lines = splitLines(it->second);
        return file;
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
