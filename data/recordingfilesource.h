#pragma once

#include "data/filesource.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qdc {

// Reads through another source and appends to `paths` each path it is asked
// for, once, in the order first asked, whether or not the file could be read:
// what a search depended on, for the window to watch. `paths` keeps what was
// asked for when an error ends the search.
class RecordingFileSource : public FileSource {
  public:
    RecordingFileSource(FileSource& source, std::vector<std::string>& paths)
        : source_(source), paths_(paths) {
        cancel_ = source.cancel();
    }
    std::shared_ptr<const FileLines> load(const std::string& path) override;

  private:
    FileSource& source_;
    std::vector<std::string>& paths_;
    std::set<std::string> seen_;
};

} // namespace qdc
