#include "data/recordingfilesource.h"

namespace qdc {

std::shared_ptr<const FileLines> RecordingFileSource::load(const std::string& path) {
    if (seen_.insert(path).second)
        paths_.push_back(path);
    return source_.load(path);
}

} // namespace qdc
