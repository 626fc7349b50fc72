#pragma once

#include "data/filesource.h"

#include <string>

namespace qdc {

// Files of a folder on disk.
class DiskFileSource : public FileSource {
  public:
    explicit DiskFileSource(std::string directory) : directory_(std::move(directory)) {}
    std::shared_ptr<const FileLines> load(const std::string& path) override;
    const std::string& directory() const { return directory_; }

  private:
    std::string directory_;
};

} // namespace qdc
