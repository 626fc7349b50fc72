#pragma once

#include "data/filesource.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qdc {

// How a path is followed beneath the data folder: by the kernel in one call
// where it can (Linux 5.6 and later), or one part at a time. Both follow a
// symlink that stays inside the folder and refuse one that leads out.
enum class PathWalk { Kernel, PartByPart };

// Files of a folder on disk. Every path resolves beneath the folder: one that
// leaves it, as text ("..") or through a symlink, is "Invalid filename". Only
// regular files are read, without ever blocking, each whole into one buffer
// and at most kMaxFileBytes of it.
class DiskFileSource : public FileSource {
  public:
    // `walk` is how paths are followed; Kernel falls back to PartByPart on a
    // kernel that lacks the call. Windows follows every path in one call.
    explicit DiskFileSource(std::string directory, PathWalk walk = PathWalk::Kernel);
    ~DiskFileSource() override;
    DiskFileSource(const DiskFileSource&) = delete;
    DiskFileSource& operator=(const DiskFileSource&) = delete;

    std::shared_ptr<const FileLines> load(const std::string& path) override;
    const std::string& directory() const { return directory_; }
    // Why the data folder itself could not be opened (see folderError()); every
    // load raises it.
    const std::optional<DropError>& folderFault() const { return folderFault_; }

  private:
    friend struct FolderLister;
#ifdef _WIN32
    using Handle = void*;
    // A handle of `path` opened beneath the folder, for reading or, when
    // `folder`, for listing; nullptr with Windows' error code in `error`.
    Handle openBeneath(const std::string& path, bool folder, unsigned long& error) const;
    std::string readBytes(Handle file, std::uint64_t size, std::optional<DropError>& error);

    std::string directory_;
    Handle folder_ = nullptr; // the opened data folder, or none
    std::wstring folderPath_; // its final path, links resolved
#else
    // A descriptor of `path` opened beneath the folder with `flags`, or minus
    // the errno value.
    int openBeneath(const std::string& path, int flags) const;
    std::string readBytes(int fd, std::uint64_t size, std::optional<DropError>& error);

    std::string directory_;
    PathWalk walk_;
    int folder_ = -1; // the opened data folder, or -1
#endif
    std::optional<DropError> folderFault_;
    // Where small files are read before being copied out at their size: kept
    // from file to file, so that reading one allocates only what it keeps.
    std::string scratch_;
};

// The files found in the difficulty folders, and what could not be listed.
struct FolderListing {
    // Relative to the data folder, "/" between their parts.
    std::vector<std::string> files;
    // Each located at the folder or entry it is about: a folder that could not
    // be opened or read, a link that leads out of the data folder. When the
    // data folder itself could not be opened, its folderFault() alone.
    std::vector<DropError> problems;
    bool folderFault = false; // the data folder itself could not be opened
    // On a file system that ignores case, the key that two names of one
    // file share (their upper case); null where case counts.
    std::string (*nameKey)(std::string_view path) = nullptr;
};

// Lists the difficulty folders of `files`' data folder, and the folders
// below them, never leaving the data folder. A link to a file is listed; a
// link to a folder is not followed.
FolderListing difficultyFolderFiles(const DiskFileSource& files);

} // namespace qdc
