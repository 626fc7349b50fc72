#include "data/diskfilesource.h"

#include "results/error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qdc {

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
    std::string bytes;
    std::optional<DropError> readError;
    char buf[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got > 0) {
            bytes.append(buf, static_cast<std::size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            readError = DropError(messageFor(errno, fullPath));
            break;
        }
    }
    ::close(fd);
    return makeFileLines(std::move(bytes), std::move(readError));
}

} // namespace qdc
