// The data folders of the web edition: loaded into memory by the page, named
// by --data as a folder on disk is.

#include "web/datafolder.h"

#include "cli/datafolder.h"
#include "data/datapath.h"
#include "data/difficulty.h"

#include <map>

namespace qdc {

namespace {

std::map<std::string, std::shared_ptr<MemoryFileSource>>& folders() {
    static std::map<std::string, std::shared_ptr<MemoryFileSource>> loaded;
    return loaded;
}

std::string& lastLoaded() {
    static std::string name;
    return name;
}

// A folder that was never loaded: every file is on a missing folder's path,
// as on disk.
class MissingFolder : public FileSource {
  public:
    std::shared_ptr<const FileLines> load(const std::string& path) override {
        checkDataPath(path);
        throw DropError("Invalid filename");
    }
};

std::shared_ptr<MemoryFileSource> findFolder(const std::string& dir) {
    const auto found = folders().find(dir);
    if (found != folders().end())
        return found->second;
    if (dir == ".") // the current directory: the folder loaded last
        return findFolder(lastLoaded());
    return nullptr;
}

} // namespace

void web::setDataFolder(const std::string& name, std::shared_ptr<MemoryFileSource> files) {
    folders()[name] = std::move(files);
    lastLoaded() = name;
}

std::shared_ptr<FileSource> cli::openDataFolder(const std::string& dir) {
    if (auto folder = findFolder(dir))
        return folder;
    return std::make_shared<MissingFolder>();
}

FolderListing cli::listDataFolder(FileSource& files) {
    FolderListing listing;
    const auto* folder = dynamic_cast<const MemoryFileSource*>(&files);
    if (folder == nullptr) { // a folder never loaded
        listing.folderFault = true;
        listing.problems.emplace_back("Invalid filename");
        return listing;
    }
    for (std::string& path : folder->paths()) {
        for (const Difficulty d : kAllDifficulties) {
            const std::string name = difficultyName(d);
            if (path.size() > name.size() && path.compare(0, name.size(), name) == 0 &&
                path[name.size()] == '/') {
                listing.files.push_back(std::move(path));
                break;
            }
        }
    }
    return listing;
}

} // namespace qdc
