#include "data/diskfilesource.h"
#include "data/diskfilesource_common.h"
#include "data/filesource.h"
#include "results/error.h"

#include "tests/core/drop_search_support.h"
#include "tests/support/spawn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

using qdc::splitLines;
using Lines = std::vector<std::string>;

namespace {

Lines readAll(qdc::FileSource& source, const std::string& path) {
    qdc::LineReader reader = source.open(path);
    Lines lines;
    std::string line;
    while (reader.next(line))
        lines.push_back(line);
    return lines;
}

std::string openError(qdc::FileSource& source, const std::string& path) {
    return dropErrorOf([&] { source.open(path); });
}

} // namespace

TEST(TextLines, LineEndsAndControlCharacters) {
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\n", {"ab"}},
        {"\n\n", {"", ""}},
        {"a\n\r", {"a", ""}},
        {"a\r\n\r\r", {"a", ""}},
        {"a\n\x1a"
         "b\nc",
         {"a"}},
        {"a\x1a"
         "b\nc",
         {"a\x1a"
          "b",
          "c"}},
        {"\x1a", {}},
        {std::string("x\0y\xff\n", 5), {std::string("x\0y\xff", 4)}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitLines(c.bytes), c.lines) << c.bytes;
    EXPECT_EQ(splitLines(std::string(100000, 'x') + "\n")[0].size(), 100000U);
}

// The same folder on disk and in memory: every path reads the same file or
// fails with the same message.
// The memory source follows the POSIX disk source; a Windows path such as
// "itemlist.txt/" names the file itself there.
TEST(MemoryFiles, PathsReadAsOnDiskPosixOnly) {
#ifdef _WIN32
    GTEST_SKIP() << "the memory source reads paths as a POSIX disk does";
#endif
    const auto root =
        std::filesystem::temp_directory_path() / ("dropcalc-paths-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "Normal" / "act1");
    std::ofstream(root / "Normal" / "act1" / "lurker.txt") << "Gold:0.5\n";
    std::ofstream(root / "Normal" / "monsterlist.txt") << "A:a.txt,1\n";
    std::ofstream(root / "itemlist.txt") << "Ring\n";
    qdc::DiskFileSource disk(root.string());
    qdc::MemoryFileSource memory{{"Normal/act1/lurker.txt", "Gold:0.5\n"},
                                 {"Normal/monsterlist.txt", "A:a.txt,1\n"},
                                 {"itemlist.txt", "Ring\n"}};
    const struct {
        std::string path;
        std::string outcome; // the first line, or the error
    } cases[] = {
        {"Normal/monsterlist.txt", "A:a.txt,1"},
        {"Normal//act1/./lurker.txt", "Gold:0.5"},
        {"Normal/act1/../monsterlist.txt", "A:a.txt,1"},
        {"./itemlist.txt", "Ring"},
        {"Normal/../Normal/act1/lurker.txt", "Gold:0.5"},
        {"Normal/a.txt", "File not found"},
        {"itemlist", "File not found"},
        {"", "File not found"},
        {"Hell/monsterlist.txt", "Invalid filename"},
        {"Hell/../itemlist.txt", "Invalid filename"},
        {"Normal/act2/../monsterlist.txt", "Invalid filename"},
        {"itemlist.txt/../itemlist.txt", "Invalid filename"},
        {"Normal/act1/lurker.txt/x", "Invalid filename"},
        {"itemlist.txt/", "Invalid filename"},
        {"itemlist.txt/.", "Invalid filename"},
        {"Normal/missing/", "Invalid filename"},
        {"../itemlist.txt", "Invalid filename"},
        {"/etc/passwd", "Invalid filename"},
        {std::string(256, 'x'), "Invalid filename"},
        {"Normal/" + std::string(255, 'x'), "File not found"},
        {"Normal", "File access denied"},
        {"Normal/", "File access denied"},
        {"Normal/act1/.", "File access denied"},
        {"Normal/..", "File access denied"},
        {".", "File access denied"},
    };
    std::vector<qdc::FileSource*> sources{&disk, &memory};
#ifdef __EMSCRIPTEN__
    sources.erase(
        sources.begin()); // Node's disk, as WebAssembly sees it, resolves ".." by the text
#endif
    for (qdc::FileSource* source : sources) {
        for (const auto& c : cases) {
            std::string outcome = openError(*source, c.path);
            if (outcome == "no error")
                outcome = readAll(*source, c.path).at(0);
            EXPECT_EQ(outcome, c.outcome)
                << c.path << (source == &disk ? " on disk" : " in memory");
            // Told without raising: the same file, or the same error where
            // loadReusing() raises it.
            std::shared_ptr<qdc::FileLines> spare;
            std::optional<qdc::DropError> failed;
            const auto file = source->loadReusingOrNull(c.path, spare, failed);
            const std::string raised = dropErrorOf([&] { source->loadReusing(c.path, spare); });
            EXPECT_EQ(failed ? failed->message() : "no error", raised) << c.path;
            EXPECT_EQ(file == nullptr, failed.has_value()) << c.path;
            if (failed && source == &disk) {
                EXPECT_EQ(failed->location().value_or(qdc::ErrorLocation{}).path, c.path);
            }
        }
    }
    EXPECT_EQ(memory.paths(),
              (Lines{"Normal/act1/lurker.txt", "Normal/monsterlist.txt", "itemlist.txt"}));
    std::filesystem::remove_all(root);
}

// A memory folder stores a file under the path a disk would give it, or
// refuses it at its path: each file stored can be read back where it is
// listed.
TEST(MemoryFiles, StoredUnderThePathADiskGives) {
    const struct {
        std::string path;
        std::string stored; // or "" when refused
    } cases[] = {
        {"Normal/rat.txt", "Normal/rat.txt"},
        {"./Normal/rat.txt", "Normal/rat.txt"},
        {"Normal/./rat.txt", "Normal/rat.txt"},
        {"Normal//rat.txt", "Normal/rat.txt"},
        {"Normal/act2/../rat.txt", "Normal/rat.txt"},
        {"Normal/act2/./../../Normal/rat.txt", "Normal/rat.txt"},
        {"a/.//b/", ""},
        {"/Normal/rat.txt", ""},
        {"../x", ""},
        {"a/./../../b", ""},
        {"./../Normal/rat.txt", ""},
        {"Normal/rat.txt/..", ""},
        {"Normal/.", ""},
        {"", ""},
        {".", ""},
        {std::string("Normal/rat.txt\0junk", 19), ""},
        {"Normal/" + std::string(255, 'x'), "Normal/" + std::string(255, 'x')},
        {"Normal/" + std::string(256, 'x'), ""},
        {"a" + std::string(4089, '/') + "b.txt", "a/b.txt"},
        {"a" + std::string(4090, '/') + "b.txt", ""},
    };
    for (const auto& c : cases) {
        qdc::MemoryFileSource files{{"Normal/rat.txt", "Gold:0.1\n"}};
        std::optional<qdc::DropError> refused;
        try {
            files.set(c.path, "Gold:0.9\n");
        } catch (const qdc::DropError& e) {
            refused = e;
        }
        const Lines paths = files.paths();
        if (c.stored.empty()) {
            EXPECT_EQ(refused ? refused->message() : "stored", "Invalid filename") << c.path;
            EXPECT_EQ(refused && refused->location() ? refused->location()->path : "", c.path);
            EXPECT_EQ(paths, Lines{"Normal/rat.txt"}) << c.path;
        } else {
            EXPECT_FALSE(refused) << c.path;
            EXPECT_EQ(readAll(files, c.stored), Lines{"Gold:0.9"}) << c.path;
            EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()),
                      (std::set<std::string>{"Normal/rat.txt", c.stored}))
                << c.path;
        }
    }
}

TEST(DiskFiles, ErrorsOfMissingFilesFoldersAndDirectories) {
    const auto root = std::filesystem::temp_directory_path() /
                      ("dropcalc-files-" + std::to_string(qdc::test::processId()));
    std::filesystem::create_directories(root / "Normal" / "act1");
    std::ofstream(root / "Normal" / "act1" / "lurker.txt") << "Gold:0.5\r\n-\r\n";
    qdc::DiskFileSource files(root.string());
    EXPECT_EQ(readAll(files, "Normal/act1/lurker.txt"), (Lines{"Gold:0.5", "-"}));
    EXPECT_EQ(openError(files, "Normal/missing.txt"), "File not found");
    EXPECT_EQ(openError(files, "Hell/monsterlist.txt"), "Invalid filename");
    EXPECT_EQ(openError(files, "Normal/act1"), "File access denied");
    EXPECT_EQ(openError(files, "Normal/act1/lurker.txt/x"), "Invalid filename");
    std::filesystem::remove_all(root);
}

// Files of every size, read one after another: each comes back whole, with
// nothing left over from a larger file read before it.
TEST(DiskFiles, EachFileWholeWhateverWasReadBefore) {
    const std::filesystem::path root = std::filesystem::temp_directory_path() /
                                       ("dropcalc-sizes-" + std::to_string(qdc::test::processId()));
    std::filesystem::create_directories(root);
    qdc::DiskFileSource files(root.string());
    for (const std::size_t size : {std::size_t{70000}, std::size_t{5}, std::size_t{0},
                                   std::size_t{4096}, std::size_t{200000}, std::size_t{1}}) {
        const std::string bytes = std::string(size, 'x') + std::to_string(size);
        const std::string name = std::to_string(size) + ".txt";
        std::ofstream(root / name, std::ios::binary) << bytes;
        EXPECT_EQ(files.read(name)->bytes, bytes) << size;
    }
    std::filesystem::remove_all(root);
}

// Files read one after another into one spare buffer: each whole, with its
// own line ends, in the spare itself unless a holder still keeps the last
// one, which then stays as it was.
TEST(DiskFiles, ReadIntoTheSpareUnlessItIsHeld) {
    const std::filesystem::path root = std::filesystem::temp_directory_path() /
                                       ("dropcalc-spare-" + std::to_string(qdc::test::processId()));
    std::filesystem::create_directories(root);
    qdc::DiskFileSource files(root.string());
    const struct {
        std::string bytes;
        bool hold; // kept while the next file is read
    } cases[] = {
        {std::string(70000, 'x') + "\r\n", false}, {"Ring:0.5\n", true},       {"", false},
        {std::string(5000, 'y'), false},           {"Gold:0.1\r\n-\n", false},
    };
    std::shared_ptr<qdc::FileLines> spare;
    std::shared_ptr<const qdc::FileLines> held;
    std::string heldBytes;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = std::to_string(i) + ".txt";
        std::ofstream(root / name, std::ios::binary) << cases[i].bytes;
        const qdc::FileLines* const before = spare.get();
        const auto file = files.loadReusing(name, spare);
        EXPECT_EQ(file->bytes, cases[i].bytes) << i;
        EXPECT_EQ(file->hasCarriageReturn, cases[i].bytes.find('\r') != std::string::npos) << i;
        EXPECT_FALSE(file->error) << i;
        EXPECT_EQ(file.get(), spare.get()) << i;
        EXPECT_EQ(file.get() == before, before != nullptr && !held) << i;
        if (held) {
            EXPECT_EQ(held->bytes, heldBytes) << i;
        }
        held = cases[i].hold ? file : nullptr;
        heldBytes = cases[i].bytes;
    }
    EXPECT_EQ(dropErrorOf([&] { files.loadReusing("missing.txt", spare); }), "File not found");
    std::filesystem::remove_all(root);
}

// A file that reports no size, as the system's pseudo files do, is read to
// its end all the same, by either walk.
TEST(DiskFiles, FilesThatReportNoSizeAreReadWholePosixOnly) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no pseudo files that report no size";
#endif
    std::ifstream environment("/proc/self/environ", std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(environment), {}};
    for (const qdc::PathWalk walk : {qdc::PathWalk::Kernel, qdc::PathWalk::PartByPart}) {
        qdc::DiskFileSource proc("/proc/self", walk);
        EXPECT_EQ(proc.read("environ")->bytes, expected);
    }
}

// The reading policy on a file of `length` bytes that said `size` when it was
// opened, read in chunks of at most `chunk`, and failing past `failAt` (with
// EINTR, a signal that came, once).
TEST(DiskFiles, BoundedReading) {
    const struct {
        const char* what;
        std::uint64_t size;
        std::size_t length;
        std::size_t chunk;
        std::size_t failAt;
        std::size_t read;
        std::string error;
        int failure = EIO;
    } cases[] = {
        {"as large as it said", 5000, 5000, 5000, SIZE_MAX, 5000, ""},
        {"no size, short reads", 0, 100000, 1000, SIZE_MAX, 100000, ""},
        {"grown since it was opened", 10, 30000, 30000, SIZE_MAX, 30000, ""},
        {"a read that fails", 100, 100, 10, 20, 20, "I/O error 5"},
        {"a read interrupted once", 100, 100, 10, 20, 100, "", EINTR},
        {"past the bound", qdc::kMaxFileBytes + 1, 0, 1, SIZE_MAX, 0, "Out of memory"},
        // Read whole, in memory: no file of that size needs to exist.
        {"at the bound", qdc::kMaxFileBytes, qdc::kMaxFileBytes, qdc::kMaxFileBytes, SIZE_MAX,
         qdc::kMaxFileBytes, ""},
    };
    for (const auto& c : cases) {
        std::size_t at = 0;
        bool failed = false;
        const qdc::ReadSome readSome = [&](char* buffer, std::size_t wanted) -> std::int64_t {
            if (at >= c.failAt && !(c.failure == EINTR && failed)) {
                failed = true;
                return -c.failure;
            }
            const std::size_t n = std::min({wanted, c.chunk, c.length - at});
            std::fill_n(buffer, n, 'x');
            at += n;
            return static_cast<std::int64_t>(n);
        };
        std::string buffer;
        std::optional<qdc::DropError> error;
        EXPECT_EQ(qdc::readBounded(
                      buffer, c.size, readSome, [&] { return c.length; }, error),
                  c.read)
            << c.what;
        EXPECT_EQ(error ? error->message() : "", c.error) << c.what;
    }
}

TEST(DiskFiles, DropTableBackslashesAreFolders) {
    EXPECT_EQ(qdc::difficultyPath("Normal", "act1\\lurker.txt"), "Normal/act1/lurker.txt");
    EXPECT_EQ(qdc::difficultyPath("Hell", "rat.txt"), "Hell/rat.txt");
}

TEST(CachedFiles, EachFileIsLoadedOnce) {
    struct CountingSource : qdc::MemoryFileSource {
        using MemoryFileSource::MemoryFileSource;
        int loads = 0;
        std::shared_ptr<const qdc::FileLines> load(const std::string& path) override {
            ++loads;
            return MemoryFileSource::load(path);
        }
    } source{{"a.txt", "1\n2\n"}};
    qdc::CachingFileSource cache(source);
    EXPECT_EQ(readAll(cache, "a.txt"), (Lines{"1", "2"}));
    EXPECT_EQ(readAll(cache, "a.txt"), (Lines{"1", "2"}));
    EXPECT_EQ(source.loads, 1);
    EXPECT_EQ(openError(cache, "b.txt"), "File not found");
}

TEST(CachedFiles, ReadErrorIsRaisedAfterTheLinesBeforeIt) {
    struct FailingSource : qdc::FileSource {
        std::shared_ptr<const qdc::FileLines> load(const std::string&) override {
            return qdc::makeFileLines("first\n", qdc::DropError("I/O error 5"));
        }
    } source;
    qdc::LineReader reader = source.open("x");
    std::string line;
    EXPECT_TRUE(reader.next(line));
    EXPECT_EQ(line, "first");
    EXPECT_THROW(reader.next(line), qdc::DropError);
}
