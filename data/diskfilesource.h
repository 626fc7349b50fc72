#pragma once

#include "data/filesource.h"
#include "data/folderlisting.h"

#include <memory>
#include <optional>
#include <string>

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

    // Each platform's readFile() does the reading; the three ways in differ
    // only in where the bytes go and how a failed open is told.
    std::shared_ptr<const FileLines> load(const std::string& path) override {
        return readFile(path, nullptr);
    }
    std::shared_ptr<const FileLines> loadReusing(const std::string& path,
                                                 std::shared_ptr<FileLines>& spare) override {
        return readFile(path, &spare);
    }
    // The rarer errors (a path that no file can have, a data folder that
    // cannot be opened) are raised on the way still, and told here too.
    std::shared_ptr<const FileLines> loadReusingOrNull(const std::string& path,
                                                       std::shared_ptr<FileLines>& spare,
                                                       std::optional<DropError>& failed) override {
        try {
            return readFile(path, &spare, &failed);
        } catch (const DropError& e) {
            failed = e;
            return nullptr;
        }
    }
    const std::string& directory() const { return directory_; }
    // Why the data folder itself could not be opened (see folderError()); every
    // load raises it.
    const std::optional<DropError>& folderFault() const { return folderFault_; }

  private:
    // The opened data folder and the system's own calls on it, as each system
    // keeps them (diskfilesource.cpp, diskfilesource_win.cpp).
    struct System;
    friend struct FolderLister;

    // The file, read into `spare` as loadReusing() does, or without one into
    // a buffer of its own. An error opening it is raised, or with `failed`
    // kept there, and null returned.
    std::shared_ptr<const FileLines> readFile(const std::string& path,
                                              std::shared_ptr<FileLines>* spare,
                                              std::optional<DropError>* failed = nullptr);

    std::string directory_;
    std::unique_ptr<System> system_;
    std::optional<DropError> folderFault_;
    // Where small files are read before being copied out at their size: kept
    // from file to file, so that reading one allocates only what it keeps.
    std::string scratch_;
};

// Lists the difficulty folders of `files`' data folder, and the folders
// below them, never leaving the data folder. A link to a file is listed; a
// link to a folder is not followed.
FolderListing difficultyFolderFiles(const DiskFileSource& files);

} // namespace qdc
