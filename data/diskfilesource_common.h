#pragma once

// What reading the data folder from disk means on every system: which error a
// failed open or read is, what is said of a data folder that cannot be
// opened, and how much of a file is read. The system's own calls stay with
// the disk file source of each system.

#include "data/filesource.h"
#include "data/folderlisting.h"
#include "results/error.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qdc {

// The error for a failed open or read, by its errno value; `parentExists`
// tells a missing file from a missing folder on the path.
DropError systemError(int err, bool parentExists);

// The error that every file of a data folder that could not be opened gives:
// the message of a missing folder on the path ("Invalid filename"), located at
// the folder as it was given, with what is wrong with the folder as its detail
// ("no such folder", "not a folder", or the system's words).
DropError folderError(int err, const std::string& folder);

// The most bytes one data file may hold; a larger one is "Out of memory".
inline constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;

// Reads into `buffer` what fits, returning how many bytes it read, 0 at the
// end of the file, or minus the errno value of a failed read.
using ReadSome = std::function<std::int64_t(char* buffer, std::size_t size)>;
// The file's size as the system tells it now.
using SizeNow = std::function<std::uint64_t()>;

// Reads an opened file that was `size` bytes long when it was opened to its
// end, into the start of `buffer`, and returns how many bytes it read. A file
// that grows meanwhile is followed a few times; one that reports size 0 (as
// the system's own pseudo files do) is read to its end. A file past
// kMaxFileBytes, or one whose bytes do not fit in memory, stops with "Out of
// memory" in `error`, as a failed read stops with its error.
std::size_t readBounded(std::string& buffer, std::uint64_t size, const ReadSome& readSome,
                        const SizeNow& sizeNow, std::optional<DropError>& error);

// The bytes readBounded() reads. A small file is read into `scratch`, kept
// from file to file so that reading one allocates only what it keeps, and
// copied out; a large one is read straight into a buffer of its own.
std::string readWhole(std::string& scratch, std::uint64_t size, const ReadSome& readSome,
                      const SizeNow& sizeNow, std::optional<DropError>& error);

// The file readBounded() reads, with the error that stopped it (not located).
// Without `spare`, its bytes are those readWhole() reads; with one, they are
// read straight into the buffer of `*spare` when nothing else holds it and it
// is not too large to keep, and into a new one that `*spare` holds otherwise.
std::shared_ptr<FileLines> readFileLines(std::string& scratch, std::shared_ptr<FileLines>* spare,
                                         std::uint64_t size, const ReadSome& readSome,
                                         const SizeNow& sizeNow);

// The listing of the difficulty folders, each listed by list(folder,
// listing) with the folders below it; a data folder that could not be
// opened (`folderFault`) is the listing's one problem.
FolderListing listDifficultyFolders(
    const std::optional<DropError>& folderFault,
    const std::function<void(const std::string& folder, FolderListing& listing)>& list);

} // namespace qdc
