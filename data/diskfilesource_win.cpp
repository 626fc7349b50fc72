#include "data/datapath.h"
#include "data/difficulty.h"
#include "data/diskfilesource.h"
#include "data/utf16.h"
#include "results/error.h"

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <utility>
#include <vector>
#include <windows.h>

namespace qdc {

namespace {

// Room left past the size a file had when it was opened, so that a file that
// grows meanwhile is still read to its end in most cases.
constexpr std::size_t kGrowthRoom = 4096;
// How often a file that keeps growing is given more room; what it gains after
// that is left unread.
constexpr int kMaxRegrowths = 4;
// The most one ReadFile call is asked for.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;

// The error for a failed open or read. A missing folder on the path is
// "Invalid filename", as is a name Windows cannot take.
DropError systemError(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return DropError("File not found");
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_CANT_RESOLVE_FILENAME:
        return DropError("Invalid filename");
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return DropError("File access denied");
    case ERROR_TOO_MANY_OPEN_FILES:
        return DropError("Too many open files");
    default:
        return DropError("I/O error " + std::to_string(code),
                         std::system_category().message(static_cast<int>(code)));
    }
}

[[noreturn]] void raiseOpenError(DropError error, const std::string& path) {
    error.locate({path, 0, ""});
    throw error;
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
// folder starts the file's path, and the file has parts of its own after them.
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
    std::size_t begin = 0;
    const std::string_view view = path;
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
// (but not the one of a root such as "C:\"), and "." for an empty one.
std::optional<std::wstring> windowsFolder(const std::string& directory) {
    std::optional<std::wstring> folder = utf16FromUtf8(directory.empty() ? "." : directory);
    if (!folder)
        return std::nullopt;
    std::replace(folder->begin(), folder->end(), L'/', L'\\');
    while (folder->size() > 1 && folder->back() == L'\\' && (*folder)[folder->size() - 2] != L':')
        folder->pop_back();
    return folder;
}

// Gives a full buffer more room when the file has grown past it. False when
// the file has not grown, or has grown too often.
bool makeRoom(HANDLE file, std::size_t& room, int& regrowths) {
    LARGE_INTEGER size{};
    if (regrowths >= kMaxRegrowths || !::GetFileSizeEx(file, &size))
        return false;
    ++regrowths;
    room = std::max(static_cast<std::size_t>(size.QuadPart), room) + kGrowthRoom;
    return true;
}

// Reads an opened file of `size` bytes to its end into the start of `buffer`;
// returns how many bytes were read.
std::size_t readWhole(HANDLE file, std::size_t size, std::string& buffer,
                      std::optional<DropError>& error) {
    std::size_t room = size + kGrowthRoom;
    std::size_t filled = 0;
    int regrowths = 0;
    for (;;) {
        if (filled == room && !makeRoom(file, room, regrowths))
            break;
        if (buffer.size() < room)
            buffer.resize(room);
        const std::size_t wanted = std::min(room - filled, kMaxChunk);
        DWORD got = 0;
        if (!::ReadFile(file, buffer.data() + filled, static_cast<DWORD>(wanted), &got, nullptr)) {
            error = systemError(::GetLastError());
            break;
        }
        if (got == 0)
            break;
        filled += got;
        if (got < wanted && filled >= size)
            break;
    }
    return filled;
}

} // namespace

DiskFileSource::DiskFileSource(std::string directory) : directory_(std::move(directory)) {
    const std::optional<std::wstring> folder = windowsFolder(directory_);
    if (!folder) {
        folderError_ = ERROR_INVALID_NAME;
        return;
    }
    // Backup semantics, so that a folder opens; its links are followed: the
    // data folder itself may be one.
    FileHandle handle(::CreateFileW(folder->c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        folderError_ = static_cast<int>(::GetLastError());
        return;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        folderError_ = ERROR_DIRECTORY;
        return;
    }
    folderPath_ = finalPath(handle.get());
    if (folderPath_.empty()) {
        folderError_ = static_cast<int>(::GetLastError());
        return;
    }
    folder_ = handle.release();
}

DiskFileSource::~DiskFileSource() {
    if (folder_ != nullptr)
        ::CloseHandle(folder_);
}

std::shared_ptr<const FileLines> DiskFileSource::load(const std::string& path) {
    checkDataPath(path);
    if (folderError_ != 0) {
        const auto code = static_cast<DWORD>(folderError_);
        raiseOpenError(systemError(code == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : code),
                       path);
    }
    // No file of this name can exist here; a ":" would name a stream of a file.
    if (path.find_first_of("\\:*?\"<>|") != std::string::npos)
        raiseOpenError(DropError("File not found"), path);
    const std::optional<std::wstring> tail = windowsTail(path);
    if (!tail || tail->empty())
        raiseOpenError(DropError("Invalid filename"), path);
    // The final path is "\\?\" and a full path: names are taken as they are,
    // so that no device name, trailing dot or short name means another file.
    const std::wstring full = folderPath_ + L'\\' + *tail;
    FileHandle file(::CreateFileW(full.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        raiseOpenError(systemError(::GetLastError()), path);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info))
        raiseOpenError(systemError(::GetLastError()), path);
    if (::GetFileType(file.get()) != FILE_TYPE_DISK ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        raiseOpenError(DropError("File access denied"), path);
    // A link on the way may lead anywhere: what was opened must lie beneath
    // the data folder.
    if (!isBeneath(finalPath(file.get()), folderPath_))
        raiseOpenError(DropError("Invalid filename"), path);
    const auto size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    std::optional<DropError> readError;
    std::string bytes = readBytes(file.get(), static_cast<std::size_t>(size), readError);
    if (readError)
        readError->locate({path, 0, ""});
    return makeFileLines(std::move(bytes), std::move(readError));
}

std::string DiskFileSource::readBytes(Handle file, std::size_t size,
                                      std::optional<DropError>& error) {
    if (size > kScratchSize) {
        std::string bytes;
        bytes.resize(readWhole(file, size, bytes, error));
        return bytes;
    }
    const std::size_t filled = readWhole(file, size, scratch_, error);
    std::string bytes(scratch_.data(), filled);
    if (scratch_.size() > 2 * kScratchSize)
        scratch_ = std::string();
    return bytes;
}

namespace {

// Adds the files of `folder` (a "\"-separated full path) and of its folders to
// `found`, as `prefix` followed by their names. A linked folder is not entered,
// so that a link loop cannot make the listing endless; a linked file is listed
// and judged when it is read.
void listFiles(const std::wstring& folder, const std::string& prefix,
               std::vector<std::string>& found) {
    WIN32_FIND_DATAW entry{};
    const std::wstring pattern = folder + L"\\*";
    HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::string path = prefix + "/" + utf8FromUtf16(name);
        const DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            found.push_back(std::move(path));
        else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            listFiles(folder + L'\\' + std::wstring(name), path, found);
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
}

} // namespace

// The files in the difficulty folders, relative to the data directory. A
// folder that cannot be listed is passed over: the checker reports what it
// cannot open by itself.
std::vector<std::string> difficultyFolderFiles(const std::string& dataDir) {
    std::vector<std::string> found;
    const std::optional<std::wstring> folder = windowsFolder(dataDir);
    if (!folder)
        return found;
    for (const Difficulty d : kAllDifficulties) {
        const std::string name = difficultyName(d);
        listFiles(*folder + L'\\' + std::wstring(name.begin(), name.end()), name, found);
    }
    return found;
}

} // namespace qdc
