#pragma once

#include "data/filesource.h"

#include <string>
#include <vector>

namespace qdc {

// Files of a folder on disk. Only regular files are read, each opened relative
// to the folder and read whole into one buffer; a path that leaves the folder
// is refused before anything is opened.
class DiskFileSource : public FileSource {
  public:
    explicit DiskFileSource(std::string directory);
    ~DiskFileSource() override;
    DiskFileSource(const DiskFileSource&) = delete;
    DiskFileSource& operator=(const DiskFileSource&) = delete;

    std::shared_ptr<const FileLines> load(const std::string& path) override;
    const std::string& directory() const { return directory_; }

  private:
#ifdef _WIN32
    using Handle = void*;
#else
    using Handle = int;
#endif
    std::string readBytes(Handle file, std::size_t size, std::optional<DropError>& error);

    std::string directory_;
#ifdef _WIN32
    Handle folder_ = nullptr; // the opened data folder, or none
    std::wstring folderPath_; // its final path, links resolved
#else
    int folder_ = -1; // the opened data folder, or -1
#endif
    int folderError_ = 0; // why the folder could not be opened
    // Where small files are read before being copied out at their size: kept
    // from file to file, so that reading one allocates only what it keeps.
    std::string scratch_;
    static constexpr std::size_t kScratchSize = std::size_t{64} * 1024;
};

// The files in the difficulty folders of `dataDir`, relative to it, with "/"
// between their parts. A folder that cannot be listed is passed over.
std::vector<std::string> difficultyFolderFiles(const std::string& dataDir);

} // namespace qdc
