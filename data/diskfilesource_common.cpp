#include "data/diskfilesource_common.h"

#include "data/difficulty.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace qdc {

namespace {

// Room left past the size a file had when it was opened, so that a file that
// grows meanwhile is still read to its end in most cases.
constexpr std::size_t kGrowthRoom = 4096;
// How often a file that keeps growing is given more room; what it gains after
// that is left unread.
constexpr int kMaxRegrowths = 4;

DropError outOfMemory() {
    return DropError("Out of memory");
}

} // namespace

DropError systemError(int err, bool parentExists) {
    switch (err) {
    case ENOENT:
        return DropError(parentExists ? "File not found" : "Invalid filename");
    case ENOTDIR:
    case ENAMETOOLONG:
    case EXDEV: // the path leads out of the data folder
        return DropError("Invalid filename");
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENXIO:
        return DropError("File access denied");
    case EMFILE:
    case ENFILE:
        return DropError("Too many open files");
    case ENOMEM:
        return outOfMemory();
    default:
        return DropError("I/O error " + std::to_string(err), std::strerror(err));
    }
}

DropError folderError(int err, const std::string& folder) {
    DropError error(systemError(err, false).message(), err == ENOENT    ? "no such folder"
                                                       : err == ENOTDIR ? "not a folder"
                                                                        : std::strerror(err));
    error.locate({folder, 0, ""});
    return error;
}

std::size_t readBounded(std::string& buffer, std::uint64_t size, const ReadSome& readSome,
                        const SizeNow& sizeNow, std::optional<DropError>& error) {
    if (size > kMaxFileBytes) {
        error = outOfMemory();
        return 0;
    }
    const bool sizeKnown = size > 0;
    std::size_t room = static_cast<std::size_t>(size) + kGrowthRoom;
    std::size_t filled = 0;
    int regrowths = 0;
    try {
        for (;;) {
            if (filled == room) {
                if (!sizeKnown) {
                    room *= 2;
                } else if (regrowths++ < kMaxRegrowths) {
                    room = static_cast<std::size_t>(std::max<std::uint64_t>(
                               std::min(sizeNow(), kMaxFileBytes + 1), room)) +
                           kGrowthRoom;
                } else {
                    break;
                }
                if (room > kMaxFileBytes + kGrowthRoom) {
                    error = outOfMemory();
                    break;
                }
            }
            if (buffer.size() < room)
                buffer.resize(room);
            const std::size_t wanted = room - filled;
            const std::int64_t got = readSome(buffer.data() + filled, wanted);
            if (got > 0) {
                filled += static_cast<std::size_t>(got);
                // A read that stops short once the size is reached has met
                // the end: no further read is needed to see it.
                if (sizeKnown && static_cast<std::size_t>(got) < wanted && filled >= size)
                    break;
            } else if (got == 0) {
                break;
            } else if (got != -EINTR) {
                error = systemError(static_cast<int>(-got), true);
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        error = outOfMemory();
    }
    return filled;
}

std::string readWhole(std::string& scratch, std::uint64_t size, const ReadSome& readSome,
                      const SizeNow& sizeNow, std::optional<DropError>& error) {
    constexpr std::size_t kScratchSize = std::size_t{64} * 1024;
    if (size > kScratchSize) {
        std::string bytes;
        bytes.resize(readBounded(bytes, size, readSome, sizeNow, error));
        return bytes;
    }
    const std::size_t filled = readBounded(scratch, size, readSome, sizeNow, error);
    std::string bytes(scratch.data(), filled);
    if (scratch.size() > 2 * kScratchSize)
        scratch = std::string();
    return bytes;
}

std::shared_ptr<FileLines> readFileLines(std::string& scratch, std::shared_ptr<FileLines>* spare,
                                         std::uint64_t size, const ReadSome& readSome,
                                         const SizeNow& sizeNow) {
    // A buffer past this is let go rather than kept for the next file.
    constexpr std::size_t kSpareBytes = std::size_t{4} << 20;
    std::shared_ptr<FileLines> file;
    if (spare == nullptr) {
        file = std::make_shared<FileLines>();
        file->bytes = readWhole(scratch, size, readSome, sizeNow, file->error);
    } else {
        if (!*spare || spare->use_count() > 1 || (*spare)->bytes.capacity() > kSpareBytes)
            *spare = std::make_shared<FileLines>();
        file = *spare;
        file->error.reset();
        file->bytes.resize(readBounded(file->bytes, size, readSome, sizeNow, file->error));
    }
    file->hasCarriageReturn = file->bytes.find('\r') != std::string::npos;
    return file;
}

FolderListing listDifficultyFolders(
    const std::optional<DropError>& folderFault,
    const std::function<void(const std::string& folder, FolderListing& listing)>& list) {
    FolderListing listing;
    if (folderFault) {
        listing.problems.push_back(*folderFault);
        listing.folderFault = true;
        return listing;
    }
    for (const Difficulty d : kAllDifficulties)
        list(difficultyName(d), listing);
    return listing;
}

} // namespace qdc
