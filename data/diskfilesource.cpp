#include "data/diskfilesource.h"

#include "data/datapath.h"
#include "data/diskfilesource_common.h"
#include "results/error.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qdc {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor& operator=(FileDescriptor&&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// How often a path may pass through a symlink, as the kernel allows.
constexpr int kMaxLinks = 40;

// How often openat2 is tried again when a rename races with it.
constexpr int kMaxTries = 16;

// Set once the kernel has said it lacks openat2.
std::atomic<bool> gKernelLacksOpenat2{false};

// openat2 with RESOLVE_BENEATH; -ENOSYS when the kernel lacks it.
int kernelOpenBeneath(int folder, const std::string& path, int flags) {
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    // EAGAIN: a rename raced with a ".."; the kernel asks to try again.
    for (int tries = 0;; ++tries) {
        const long fd = ::syscall(SYS_openat2, folder, path.c_str(), &how, sizeof how);
        if (fd >= 0)
            return static_cast<int>(fd);
        if (errno != EINTR && (errno != EAGAIN || tries == kMaxTries))
            return -errno;
    }
}

// Pushes the parts of `path` onto `parts`, the first part last; an ending "/"
// becomes a last part ".", so that what precedes it must be a folder.
void pushParts(std::string_view path, std::vector<std::string>& parts) {
    if (!path.empty() && path.back() == '/')
        parts.emplace_back(".");
    std::size_t end = path.size();
    while (end > 0) {
        const std::size_t slash = path.rfind('/', end - 1);
        const std::size_t begin = slash == std::string_view::npos ? 0 : slash + 1;
        if (end > begin)
            parts.emplace_back(path.substr(begin, end - begin));
        if (slash == std::string_view::npos)
            break;
        end = slash;
    }
}

// Opens `part` of the folder `at` without following a symlink: the
// descriptor, or minus the errno value, ELOOP or ENOTDIR when it may be a
// symlink. O_PATH opens a symlink itself rather than refusing it.
int openPart(int at, const std::string& part, int flags) {
    const int fd = ::openat(at, part.c_str(), flags | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    struct stat st {};
    if ((flags & O_PATH) == 0 || ::fstat(fd, &st) != 0 || !S_ISLNK(st.st_mode))
        return fd;
    ::close(fd);
    return -ELOOP;
}

// Puts the target of the symlink `part` of `at` in its place among `parts`:
// 0, or minus the errno value (`failed`, the open's, when it is no symlink).
int followLink(int at, const std::string& part, int failed, int& links,
               std::vector<std::string>& parts) {
    if (failed != -ELOOP && failed != -ENOTDIR)
        return failed;
    char target[PATH_MAX];
    const ssize_t size = ::readlinkat(at, part.c_str(), target, sizeof target);
    if (size < 0)
        return failed;
    if (++links > kMaxLinks)
        return -ELOOP;
    if (static_cast<std::size_t>(size) == sizeof target)
        return -ENAMETOOLONG;
    if (size == 0)
        return -ENOENT;
    if (target[0] == '/')
        return -EXDEV;
    pushParts(std::string_view(target, static_cast<std::size_t>(size)), parts);
    return 0;
}

// The same rule as RESOLVE_BENEATH, one part at a time: each folder on the
// way is opened without following a symlink; a symlink is read and its
// target walked in its place, from the folder that holds it. A ".." above the
// data folder or an absolute target is -EXDEV.
int walkBeneath(int folder, const std::string& path, int flags) {
    if (path.empty())
        return -ENOENT;
    if (path.size() >= PATH_MAX)
        return -ENAMETOOLONG;       // as the kernel's own walk
    std::vector<std::string> parts; // the first part to walk last
    pushParts(path, parts);
    std::vector<FileDescriptor> folders; // opened below `folder`
    int links = 0;
    while (!parts.empty()) {
        const std::string part = std::move(parts.back());
        parts.pop_back();
        const int at = folders.empty() ? folder : folders.back().get();
        if (part == "..") {
            if (folders.empty())
                return -EXDEV;
            folders.pop_back();
        } else if (part != ".") {
            const bool last = parts.empty();
            const int fd = openPart(at, part, last ? flags : O_PATH | O_DIRECTORY);
            if (fd >= 0 && last)
                return fd;
            if (fd >= 0)
                folders.emplace_back(fd);
            else if (const int err = followLink(at, part, fd, links, parts); err != 0)
                return err;
        }
    }
    // The path ended on a "." or "..": the folder reached.
    const int fd =
        ::openat(folders.empty() ? folder : folders.back().get(), ".", flags | O_CLOEXEC);
    return fd >= 0 ? fd : -errno;
}

// An error opening `path`, located there: raised, or kept in `failed` when
// the caller takes it so (null is returned then).
std::shared_ptr<FileLines> openFailed(DropError error, const std::string& path,
                                      std::optional<DropError>* failed) {
    error.locate({path, 0, ""});
    if (failed == nullptr)
        throw error;
    *failed = std::move(error);
    return nullptr;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The opened file `fd`, which was `size` bytes long when opened, read as
// readFileLines() reads it.
std::shared_ptr<FileLines> readOpened(int fd, std::uint64_t size, std::string& scratch,
                                      std::shared_ptr<FileLines>* spare) {
    const ReadSome readSome = [fd](char* buffer, std::size_t wanted) -> std::int64_t {
        const ssize_t got = ::read(fd, buffer, wanted);
        return got >= 0 ? got : -errno;
    };
    const SizeNow sizeNow = [fd] {
        struct stat st {};
        return ::fstat(fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    };
    return readFileLines(scratch, spare, size, readSome, sizeNow);
}

} // namespace

// The data folder opened for paths only, and the walk its paths take.
struct DiskFileSource::System {
    explicit System(PathWalk pathWalk) : walk(pathWalk) {}
    ~System() {
        if (folder >= 0)
            ::close(folder);
    }
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    // A descriptor of `path` opened beneath the folder with `flags`, or minus
    // the errno value.
    int openBeneath(const std::string& path, int flags) const;

    PathWalk walk;
    int folder = -1; // the opened data folder, or -1
};

DiskFileSource::DiskFileSource(std::string directory, PathWalk walk)
    : directory_(std::move(directory)), system_(std::make_unique<System>(walk)) {
    const char* const opened = directory_.empty() ? "." : directory_.c_str();
    system_->folder = ::open(opened, O_PATH | O_DIRECTORY | O_CLOEXEC);
    int err = system_->folder < 0 ? errno : 0;
    // A folder that may not be entered cannot be read at all.
    if (err == 0 && ::faccessat(system_->folder, ".", X_OK, AT_EACCESS) != 0)
        err = errno;
    if (err != 0)
        folderFault_ = folderError(err, opened);
}

DiskFileSource::~DiskFileSource() = default;

int DiskFileSource::System::openBeneath(const std::string& path, int flags) const {
    if (walk == PathWalk::Kernel && !gKernelLacksOpenat2.load(std::memory_order_relaxed)) {
        const int fd = kernelOpenBeneath(folder, path, flags);
        if (fd != -ENOSYS)
            return fd;
        gKernelLacksOpenat2.store(true, std::memory_order_relaxed);
    }
    return walkBeneath(folder, path, flags);
}

std::shared_ptr<const FileLines> DiskFileSource::readFile(const std::string& path,
                                                          std::shared_ptr<FileLines>* spare,
                                                          std::optional<DropError>* failed) {
    checkDataPath(path);
    if (folderFault_)
        throw *folderFault_;
    // Non-blocking, so that a FIFO opens at once and is refused below.
    const int fd = system_->openBeneath(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const bool parentExists =
            fd == -ENOENT &&
            FileDescriptor(system_->openBeneath(parentOf(path), O_PATH | O_DIRECTORY)).get() >= 0;
        return openFailed(systemError(-fd, parentExists), path, failed);
    }
    const FileDescriptor file(fd);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0)
        return openFailed(systemError(errno, true), path, failed);
    if (!S_ISREG(st.st_mode))
        return openFailed(DropError("File access denied"), path, failed);
    std::shared_ptr<FileLines> lines =
        readOpened(file.get(), static_cast<std::uint64_t>(st.st_size), scratch_, spare);
    if (lines->error)
        lines->error->locate({path, 0, ""});
    return lines;
}

// Walks the difficulty folders through the source's own folder, so that
// every folder and link is followed by the same rule as the files.
struct FolderLister {
    const DiskFileSource& files;
    FolderListing& out;

    void problem(int err, const std::string& path) const {
        DropError error = systemError(err, true);
        error.locate({path, 0, ""});
        out.problems.push_back(std::move(error));
    }

    // What an entry that may be a link is: a file, a folder, or nothing to
    // list (a link that leads nowhere, or to no file or folder).
    unsigned char resolve(const std::string& path) const {
        const FileDescriptor fd(files.system_->openBeneath(path, O_PATH));
        struct stat st {};
        if (fd.get() < 0) {
            if (fd.get() != -ENOENT)
                problem(-fd.get(), path);
            return DT_UNKNOWN;
        }
        if (::fstat(fd.get(), &st) != 0)
            return DT_UNKNOWN;
        return S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
    }

    // The type of an entry the folder's listing did not tell, the link
    // itself for a link.
    static unsigned char typeOf(int folder, const char* name) {
        struct stat st {};
        if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return DT_UNKNOWN;
        return S_ISLNK(st.st_mode)   ? DT_LNK
               : S_ISDIR(st.st_mode) ? DT_DIR
               : S_ISREG(st.st_mode) ? DT_REG
                                     : DT_UNKNOWN;
    }

    void list(const std::string& folder, bool top) const {
        const int fd = files.system_->openBeneath(folder, O_RDONLY | O_DIRECTORY | O_NONBLOCK);
        if (fd < 0) {
            // A difficulty folder that is not there is no problem of the
            // listing: its monster list is missing, and said so.
            if (!(top && fd == -ENOENT))
                problem(-fd, folder);
            return;
        }
        DIR* dir = ::fdopendir(fd);
        if (dir == nullptr) {
            problem(errno, folder);
            ::close(fd);
            return;
        }
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (entry == nullptr) {
                if (errno != 0)
                    problem(errno, folder);
                break;
            }
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "/";
            path += name;
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN)
                type = typeOf(::dirfd(dir), entry->d_name);
            if (type == DT_LNK) {
                // A link to a folder is not followed, so that a loop of links
                // cannot make the listing endless.
                if ((type = resolve(path)) == DT_DIR)
                    continue;
            }
            if (type == DT_DIR)
                list(path, false);
            else if (type == DT_REG)
                out.files.push_back(std::move(path));
        }
        ::closedir(dir);
    }
};

FolderListing difficultyFolderFiles(const DiskFileSource& files) {
    return listDifficultyFolders(files.folderFault(),
                                 [&](const std::string& folder, FolderListing& listing) {
                                     FolderLister{files, listing}.list(folder, true);
                                 });
}

} // namespace qdc
