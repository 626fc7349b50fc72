#include "data/datapath.h"
#include "data/diskfilesource.h"
#include "data/diskfilesource_common.h"
#include "data/utf16.h"
#include "results/error.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>
#include <windows.h>

namespace qdc {

namespace {

// The most one ReadFile call is asked for.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
// What openBeneath() gives for a path that a link leads out of the folder.
constexpr DWORD kLeadsOut = ERROR_NOT_SAME_DEVICE;

// The errno value that a Windows error code means to the shared error
// mapping; 0 for a code it has no word for.
int errnoOf(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_CANT_RESOLVE_FILENAME: // a loop of links
        return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case kLeadsOut:
        return EXDEV;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return 0;
    }
}

// The error for a failed open or read: the shared mapping's, or "I/O error"
// with Windows' own code and words. A missing folder on the path is
// ERROR_PATH_NOT_FOUND, a missing file ERROR_FILE_NOT_FOUND.
DropError windowsError(DWORD code) {
    if (const int err = errnoOf(code))
        return systemError(err, code != ERROR_PATH_NOT_FOUND);
    return DropError("I/O error " + std::to_string(code),
                     std::system_category().message(static_cast<int>(code)));
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

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

  private:
    HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The path of an opened file or folder with every link on it resolved, as
// "\\?\C:\folder\file"; empty when Windows cannot tell.
std::wstring finalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);
    }
}

// The parts of a path, cut at every "\".
std::vector<std::wstring_view> parts(std::wstring_view path) {
    std::vector<std::wstring_view> result;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find(L'\\', begin);
        if (end == std::wstring_view::npos)
            end = path.size();
        if (end > begin)
            result.push_back(path.substr(begin, end - begin));
        begin = end + 1;
    }
    return result;
}

bool sameName(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether `path` lies beneath `folder`, both final paths: every part of the
// folder starts the path, which has parts of its own after them.
bool isBeneath(std::wstring_view path, std::wstring_view folder) {
    const std::vector<std::wstring_view> inner = parts(path);
    const std::vector<std::wstring_view> outer = parts(folder);
    return inner.size() > outer.size() &&
           std::equal(outer.begin(), outer.end(), inner.begin(), sameName);
}

// The relative data path ("Normal/act2/drake.txt", already checked to stay
// inside the folder) as a "\"-separated tail, its "." and ".." parts taken out.
// Nothing for a path that is not UTF-8.
std::optional<std::wstring> windowsTail(const std::string& path) {
    std::vector<std::string_view> kept;
    const std::string_view view = path;
    std::size_t begin = 0;
    while (begin <= view.size()) {
        std::size_t end = view.find('/', begin);
        if (end == std::string_view::npos)
            end = view.size();
        const std::string_view part = view.substr(begin, end - begin);
        if (part == "..") {
            if (!kept.empty())
                kept.pop_back();
        } else if (!part.empty() && part != ".") {
            kept.push_back(part);
        }
        begin = end + 1;
    }
    std::string joined;
    for (const std::string_view part : kept) {
        if (!joined.empty())
            joined += '\\';
        joined += part;
    }
    return utf16FromUtf8(joined);
}

// The data folder as given: "/" taken as "\", a trailing separator dropped
// (but not the one of a root such as "C:\").
std::optional<std::wstring> windowsFolder(const std::string& directory) {
    std::optional<std::wstring> folder = utf16FromUtf8(directory);
    if (!folder)
        return std::nullopt;
    std::replace(folder->begin(), folder->end(), L'/', L'\\');
    while (folder->size() > 1 && folder->back() == L'\\' && (*folder)[folder->size() - 2] != L':')
        folder->pop_back();
    return folder;
}

bool isFolder(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opens the data folder `directory` into `handle` and sets `path` to its
// final path; returns 0, or Windows' error code. Its links are followed: the
// data folder itself may be one.
DWORD openFolder(const std::string& directory, HANDLE& handle, std::wstring& path) {
    const std::optional<std::wstring> folder = windowsFolder(directory);
    if (!folder)
        return ERROR_INVALID_NAME;
    // Backup semantics, so that a folder opens.
    FileHandle opened(::CreateFileW(folder->c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (opened.get() == INVALID_HANDLE_VALUE)
        return ::GetLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(opened.get(), &info))
        return ::GetLastError();
    if (!isFolder(info))
        return ERROR_DIRECTORY;
    path = finalPath(opened.get());
    if (path.empty())
        return ::GetLastError();
    handle = opened.release();
    return 0;
}

// The opened `file`, which was `size` bytes long when opened, read as
// readFileLines() reads it.
std::shared_ptr<FileLines> readOpened(HANDLE file, std::uint64_t size, std::string& scratch,
                                      std::shared_ptr<FileLines>* spare) {
    DWORD failure = 0;
    const ReadSome readSome = [&](char* buffer, std::size_t wanted) -> std::int64_t {
        DWORD got = 0;
        if (::ReadFile(file, buffer, static_cast<DWORD>(std::min(wanted, kMaxChunk)), &got,
                       nullptr))
            return got;
        failure = ::GetLastError();
        return -EIO;
    };
    const SizeNow sizeNow = [file] {
        LARGE_INTEGER now{};
        return ::GetFileSizeEx(file, &now) ? static_cast<std::uint64_t>(now.QuadPart) : 0;
    };
    std::shared_ptr<FileLines> lines = readFileLines(scratch, spare, size, readSome, sizeNow);
    if (failure != 0)
        lines->error = windowsError(failure);
    return lines;
}

} // namespace

// The opened data folder and its final path, beneath which every path is
// opened.
struct DiskFileSource::System {
    System() = default;
    ~System() {
        if (folder != nullptr)
            ::CloseHandle(folder);
    }
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    // A handle of `path` opened beneath the folder, for reading or, when
    // `forListing`, for listing; nullptr with Windows' error code in `error`.
    HANDLE openBeneath(const std::string& path, bool forListing, DWORD& error) const;

    HANDLE folder = nullptr; // the opened data folder, or none
    std::wstring folderPath; // its final path, links resolved
};

DiskFileSource::DiskFileSource(std::string directory, PathWalk /*walk*/)
    : directory_(std::move(directory)), system_(std::make_unique<System>()) {
    const std::string opened = directory_.empty() ? "." : directory_;
    const DWORD code = openFolder(opened, system_->folder, system_->folderPath);
    if (code == 0)
        return;
    if (const int err = errnoOf(code)) {
        folderFault_ = folderError(err, opened);
    } else {
        folderFault_ = windowsError(code);
        folderFault_->locate({opened, 0, ""});
    }
}

DiskFileSource::~DiskFileSource() = default;

HANDLE DiskFileSource::System::openBeneath(const std::string& path, bool forListing,
                                           DWORD& error) const {
    // No file of such a name can exist here; a ":" would name a stream.
    if (path.find_first_of("\\:*?\"<>|") != std::string::npos) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    const std::optional<std::wstring> tail = windowsTail(path);
    if (!tail) {
        error = ERROR_INVALID_NAME;
        return nullptr;
    }
    // The final path is "\\?\" and a full path: names are taken as they are,
    // so that no device name, trailing dot or short name means another file.
    const std::wstring full = tail->empty() ? folderPath : folderPath + L'\\' + *tail;
    FileHandle handle(::CreateFileW(
        full.c_str(), forListing ? FILE_LIST_DIRECTORY : GENERIC_READ, kShareAll, nullptr,
        OPEN_EXISTING, forListing ? FILE_FLAG_BACKUP_SEMANTICS : FILE_FLAG_SEQUENTIAL_SCAN,
        nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        error = ::GetLastError();
        return nullptr;
    }
    // A link on the way may lead anywhere: what was opened must lie beneath
    // the data folder.
    const std::wstring opened = finalPath(handle.get());
    if (opened != folderPath && !isBeneath(opened, folderPath)) {
        error = kLeadsOut;
        return nullptr;
    }
    return handle.release();
}

std::shared_ptr<const FileLines> DiskFileSource::readFile(const std::string& path,
                                                          std::shared_ptr<FileLines>* spare,
                                                          std::optional<DropError>* failed) {
    checkDataPath(path);
    if (folderFault_)
        throw *folderFault_;
    DWORD error = 0;
    const FileHandle file(system_->openBeneath(path, false, error));
    if (file.get() == nullptr)
        return openFailed(windowsError(error), path, failed);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info))
        return openFailed(windowsError(::GetLastError()), path, failed);
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || isFolder(info))
        return openFailed(DropError("File access denied"), path, failed);
    const std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    std::shared_ptr<FileLines> lines = readOpened(file.get(), size, scratch_, spare);
    if (lines->error)
        lines->error->locate({path, 0, ""});
    return lines;
}

// Walks the difficulty folders through the source's own folder, so that
// every folder and link is followed by the same rule as the files.
struct FolderLister {
    const DiskFileSource& files;
    FolderListing& out;

    void problem(DWORD code, const std::string& path) const {
        DropError error = windowsError(code);
        error.locate({path, 0, ""});
        out.problems.push_back(std::move(error));
    }

    // Whether a linked entry is a file beneath the folder; a link that leads
    // out or cannot be followed is a problem, one that leads nowhere is not.
    bool isLinkedFile(const std::string& path) const {
        DWORD error = 0;
        const FileHandle file(files.system_->openBeneath(path, false, error));
        BY_HANDLE_FILE_INFORMATION info{};
        if (file.get() == nullptr) {
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                problem(error, path);
            return false;
        }
        return ::GetFileInformationByHandle(file.get(), &info) && !isFolder(info);
    }

    void list(const std::string& folder, bool top) const {
        DWORD error = 0;
        const FileHandle opened(files.system_->openBeneath(folder, true, error));
        if (opened.get() == nullptr) {
            // A difficulty folder that is not there is no problem of the
            // listing: its monster list is missing, and said so.
            if (!(top && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)))
                problem(error, folder);
            return;
        }
        const std::wstring pattern = finalPath(opened.get()) + L"\\*";
        WIN32_FIND_DATAW entry{};
        HANDLE search =
            ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                               nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (search == INVALID_HANDLE_VALUE) {
            problem(::GetLastError(), folder);
            return;
        }
        do {
            const std::wstring_view name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::string path = folder + "/" + utf8FromUtf16(name);
            const DWORD attributes = entry.dwFileAttributes;
            const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            // A link to a folder is not followed, so that a loop of links
            // cannot make the listing endless.
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                if (!link)
                    list(path, false);
            } else if (!link || isLinkedFile(path)) {
                out.files.push_back(std::move(path));
            }
        } while (::FindNextFileW(search, &entry));
        if (const DWORD code = ::GetLastError(); code != ERROR_NO_MORE_FILES)
            problem(code, folder);
        ::FindClose(search);
    }
};

namespace {

// A name in upper case, as Windows compares file names: each UTF-16 unit by
// the system's own table, whatever the user's language.
std::string upperCaseName(std::string_view path) {
    std::optional<std::wstring> wide = utf16FromUtf8(path);
    if (!wide || wide->empty())
        return std::string(path);
    const int size = static_cast<int>(wide->size());
    std::wstring upper(wide->size(), L'\0');
    if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide->c_str(), size, upper.data(),
                        size, nullptr, nullptr, 0) != size)
        return std::string(path);
    return utf8FromUtf16(upper);
}

} // namespace

FolderListing difficultyFolderFiles(const DiskFileSource& files) {
    FolderListing listing = listDifficultyFolders(
        files.folderFault(), [&](const std::string& folder, FolderListing& out) {
            FolderLister{files, out}.list(folder, true);
        });
    listing.nameKey = upperCaseName;
    return listing;
}

} // namespace qdc
