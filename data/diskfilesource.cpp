#include "data/diskfilesource.h"

#include "data/datapath.h"
#include "data/difficulty.h"
#include "results/error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qdc {

namespace {

// Room left past the size a file had when it was opened, so that a file that
// grows meanwhile is still read to its end in most cases.
constexpr std::size_t kGrowthRoom = 4096;
// How often a file that keeps growing is given more room; what it gains after
// that is left unread.
constexpr int kMaxRegrowths = 4;

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool isDirectoryAt(int folder, const std::string& path) {
    struct stat st {};
    return ::fstatat(folder, path.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode);
}

// The error for a failed open or read; `parentExists` tells a missing file
// from a missing folder.
DropError systemError(int err, bool parentExists) {
    switch (err) {
    case ENOENT:
        return DropError(parentExists ? "File not found" : "Invalid filename");
    case ENOTDIR:
    case ENAMETOOLONG:
        return DropError("Invalid filename");
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENXIO:
        return DropError("File access denied");
    case EMFILE:
    case ENFILE:
        return DropError("Too many open files");
    default:
        return DropError("I/O error " + std::to_string(err), std::strerror(err));
    }
}

[[noreturn]] void raiseOpenError(DropError error, const std::string& path) {
    error.locate({path, 0, ""});
    throw error;
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Gives a full buffer more room when the file has grown past it. False when
// the file has not grown, or has grown too often.
bool makeRoom(int fd, std::size_t& room, int& regrowths) {
    struct stat st {};
    if (regrowths >= kMaxRegrowths || ::fstat(fd, &st) != 0)
        return false;
    ++regrowths;
    room = std::max(static_cast<std::size_t>(st.st_size), room) + kGrowthRoom;
    return true;
}

// Reads an opened regular file of `size` bytes (as fstat told) to its end into
// the start of `buffer`; returns how many bytes were read. A read that stops
// short once `size` is reached has met the end: no further read is needed to
// see it.
std::size_t readWhole(int fd, std::size_t size, std::string& buffer,
                      std::optional<DropError>& error) {
    std::size_t room = size + kGrowthRoom;
    std::size_t filled = 0;
    int regrowths = 0;
    for (;;) {
        if (filled == room && !makeRoom(fd, room, regrowths))
            break;
        if (buffer.size() < room)
            buffer.resize(room);
        const std::size_t wanted = room - filled;
        const ssize_t got = ::read(fd, buffer.data() + filled, wanted);
        if (got > 0) {
            filled += static_cast<std::size_t>(got);
            if (static_cast<std::size_t>(got) < wanted && filled >= size)
                break;
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            error = systemError(errno, true);
            break;
        }
    }
    return filled;
}

} // namespace

DiskFileSource::DiskFileSource(std::string directory) : directory_(std::move(directory)) {
    if (directory_.empty()) {
        folder_ = AT_FDCWD;
        return;
    }
    folder_ = ::open(directory_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        folderError_ = errno;
}

DiskFileSource::~DiskFileSource() {
    if (folder_ >= 0)
        ::close(folder_);
}

std::shared_ptr<const FileLines> DiskFileSource::load(const std::string& path) {
    checkDataPath(path);
    if (folderError_ != 0)
        raiseOpenError(systemError(folderError_, false), path);
    // Non-blocking, so that a FIFO opens at once and is refused below.
    FileDescriptor file(
        ::openat(folder_, path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        const int err = errno;
        raiseOpenError(systemError(err, err == ENOENT && isDirectoryAt(folder_, parentOf(path))),
                       path);
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0)
        raiseOpenError(systemError(errno, true), path);
    if (!S_ISREG(st.st_mode))
        raiseOpenError(DropError("File access denied"), path);
    std::optional<DropError> readError;
    std::string bytes = readBytes(file.get(), static_cast<std::size_t>(st.st_size), readError);
    if (readError)
        readError->locate({path, 0, ""});
    return makeFileLines(std::move(bytes), std::move(readError));
}

std::string DiskFileSource::readBytes(int fd, std::size_t size, std::optional<DropError>& error) {
    if (size > kScratchSize) {
        std::string bytes;
        bytes.resize(readWhole(fd, size, bytes, error));
        return bytes;
    }
    const std::size_t filled = readWhole(fd, size, scratch_, error);
    std::string bytes(scratch_.data(), filled);
    if (scratch_.size() > 2 * kScratchSize)
        scratch_ = std::string();
    return bytes;
}

namespace {

// What a folder entry is, following a link to a file but never into a folder,
// so that a link loop cannot make the listing endless.
unsigned char entryType(const std::string& dataDir, const std::string& path, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK)
        return entry.d_type;
    std::string fullPath = dataDir;
    fullPath += '/';
    fullPath += path;
    struct stat st {};
    if (::stat(fullPath.c_str(), &st) != 0)
        return DT_UNKNOWN;
    if (S_ISREG(st.st_mode))
        return DT_REG;
    return S_ISDIR(st.st_mode) && entry.d_type == DT_UNKNOWN ? DT_DIR : DT_UNKNOWN;
}

void listFiles(const std::string& dataDir, const std::string& folder,
               std::vector<std::string>& found) {
    DIR* dir = ::opendir((dataDir + "/" + folder).c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        std::string path = folder + "/";
        path += name;
        const unsigned char type = entryType(dataDir, path, *entry);
        if (type == DT_DIR)
            listFiles(dataDir, path, found);
        else if (type == DT_REG)
            found.push_back(std::move(path));
    }
    ::closedir(dir);
}

} // namespace

// The files in the difficulty folders, relative to the data directory. A
// folder that cannot be listed is passed over: the checker reports what it
// cannot open by itself.
std::vector<std::string> difficultyFolderFiles(const std::string& dataDir) {
    std::vector<std::string> found;
    for (const Difficulty d : kAllDifficulties)
        listFiles(dataDir.empty() ? "." : dataDir, difficultyName(d), found);
    return found;
}

} // namespace qdc
