// Data folders made to hurt: each search over one ends with its clear error,
// in bounded time and memory. Every case runs in a child process under an
// alarm (and an address-space limit where one is given), so that a hang or a
// runaway allocation fails the case instead of the whole run.

#include "check/check.h"
#include "data/datapath.h"
#include "data/diskfilesource.h"
#include "data/monsterlist.h"
#include "results/convert.h"
#include "results/entry.h"
#include "results/numtext.h"
#include "search/searches.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define DROPCALC_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DROPCALC_ASAN 1
#endif
#endif

namespace fs = std::filesystem;

namespace {

// How many times the CPU time of an optimised build this one is given:
// unoptimised code (a Debug build) takes several times as long, and the
// sanitizers' checks add to it.
#if defined(DROPCALC_ASAN)
constexpr unsigned kSlowdown = 5;
#elif !defined(__OPTIMIZE__)
constexpr unsigned kSlowdown = 3;
#else
constexpr unsigned kSlowdown = 1;
#endif
#ifdef __OPTIMIZE__
constexpr bool kOptimised = true;
#else
constexpr bool kOptimised = false;
#endif
// The sanitizers reserve address space of their own: no limit on it then.
#ifdef DROPCALC_ASAN
constexpr bool kAddressLimit = false;
#else
constexpr bool kAddressLimit = true;
#endif
constexpr std::size_t kMiB = 1 << 20;

// How a bounded run ended: the error's message, details and path joined by
// "|", "finished" without an error, or what stopped the child.
void childRun(int fd, const std::function<void()>& body, std::size_t extraMemory) {
    if (extraMemory > 0 && kAddressLimit) {
        std::ifstream status("/proc/self/statm"); // in pages
        std::size_t pages = 0;
        status >> pages;
        const rlim_t limit = pages * ::sysconf(_SC_PAGESIZE) + extraMemory;
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_AS, &rl);
    }
    std::string ending = "finished";
    try {
        body();
    } catch (const qdc::DropError& e) {
        ending = e.message() + "|" + e.detail() + "|" + (e.location() ? e.location()->path : "");
    } catch (const std::bad_alloc&) {
        ending = "out of memory";
    }
    (void)!::write(fd, ending.data(), ending.size());
    ::_exit(0);
}

// Runs `body` in a child given `seconds` and, past what the process already
// holds, `extraMemory` bytes of address space (0: no limit).
std::string runBounded(const std::function<void()>& body, unsigned seconds,
                       std::size_t extraMemory = 0) {
    int fds[2];
    if (::pipe(fds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        // CPU time bounds the work, so that a loaded machine does not fail a
        // search that is fast; the wall clock, ten times longer, catches a
        // search that blocks.
        const rlim_t cpu = seconds * kSlowdown;
        const rlimit limit{cpu, cpu + 1};
        ::setrlimit(RLIMIT_CPU, &limit);
        ::alarm(seconds * kSlowdown * 10);
        childRun(fds[1], body, extraMemory);
    }
    ::close(fds[1]);
    std::string ending;
    char buf[4096];
    for (ssize_t got; (got = ::read(fds[0], buf, sizeof buf)) > 0;)
        ending.append(buf, static_cast<std::size_t>(got));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return WTERMSIG(status) == SIGALRM || WTERMSIG(status) == SIGXCPU ? "took too long"
                                                                          : "killed by a signal";
    return ending;
}

struct DataFolder {
    fs::path root = fs::temp_directory_path() /
                    ("dropcalc-hostile-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
    static inline int n = 0;
    DataFolder() { fs::create_directories(root / "Normal"); }
    ~DataFolder() {
        std::error_code failed;
        fs::remove_all(root, failed);
        if (failed) // a tree deeper than a path may be long
            (void)!std::system(("rm -rf '" + root.string() + "'").c_str());
    }
    void write(const std::string& path, const std::string& bytes) const {
        fs::create_directories((root / path).parent_path());
        std::ofstream(root / path, std::ios::binary) << bytes;
    }
};

// A monster search for "Tunnel Rat" at Normal, whose monster-list line ends
// with `rest` (its drop table and picks), on the data folder `as` inside the
// folder (the folder itself when empty).
std::string searchRat(const DataFolder& folder, const std::string& rest, unsigned seconds = 10,
                      std::size_t extraMemory = 0, qdc::PathWalk walk = qdc::PathWalk::Kernel,
                      const std::string& as = "") {
    folder.write("Normal/monsterlist.txt", "Tunnel Rat:" + rest + "\n");
    return runBounded(
        [&] {
            qdc::DiskFileSource files((as.empty() ? folder.root : folder.root / as).string(), walk);
            qdc::MemoryResultList list;
            qdc::monsterSearch({files}, list, "Tunnel Rat", qdc::Difficulty::Normal);
        },
        seconds, extraMemory);
}

std::string withNul(const char* a, const char* b) {
    return std::string(a) + '\0' + b;
}

const std::string kNotFloat = "' is not a valid floating point value";
const std::string kCut = "\xE2\x80\xA6";

} // namespace

TEST(HostileFiles, EachEndsWithItsClearError) {
    const auto link = [](const char* to, const char* at) {
        return [=](const DataFolder& d) { fs::create_symlink(to, d.root / at); };
    };
    const auto file = [](const char* at, std::string bytes) {
        return [=](const DataFolder& d) { d.write(at, bytes); };
    };
    const auto both = [](auto first, auto second) {
        return [=](const DataFolder& d) {
            first(d);
            second(d);
        };
    };
    const auto sparse = [](const char* at, std::uintmax_t size) {
        return [=](const DataFolder& d) {
            std::ofstream(d.root / at).put('x');
            fs::resize_file(d.root / at, size);
        };
    };
    const std::string outside =
        (fs::temp_directory_path() / ("dropcalc-outside-" + std::to_string(::getpid()))).string();
    std::ofstream(outside) << "Gold:secret\n";
    const struct {
        const char* what;
        std::function<void(const DataFolder&)> setup;
        std::string rest; // of the monster-list line
        std::string ending;
    } cases[] = {
        {"a FIFO", [](auto& d) { ::mkfifo((d.root / "Normal/rat.txt").c_str(), 0600); },
         "rat.txt,1", "File access denied||Normal/rat.txt"},
        {"/dev/zero through a symlink", link("/dev/zero", "Normal/rat.txt"), "rat.txt,1",
         "Invalid filename||Normal/rat.txt"},
        {"/proc/self/environ through a symlink", link("/proc/self/environ", "Normal/rat.txt"),
         "rat.txt,1", "Invalid filename||Normal/rat.txt"},
        {"a file outside through a symlink", link(outside.c_str(), "Normal/rat.txt"), "rat.txt,1",
         "Invalid filename||Normal/rat.txt"},
        {"a relative symlink above the data folder",
         link("../../dropcalc-outside-x", "Normal/rat.txt"), "rat.txt,1",
         "Invalid filename||Normal/rat.txt"},
        {"up and out through a folder symlink", link("..", "Normal/up"), "up\\..\\..\\x.txt,1",
         "Invalid filename||Normal/up/../../x.txt"},
        {"a directory", [](auto& d) { fs::create_directory(d.root / "Normal/rat.txt"); },
         "rat.txt,1", "File access denied||Normal/rat.txt"},
        {"a symlink loop", both(link("b.txt", "Normal/rat.txt"), link("rat.txt", "Normal/b.txt")),
         "rat.txt,1", "I/O error 40|Too many levels of symbolic links|Normal/rat.txt"},
        {"a symlink to a file inside",
         both(file("shared.txt", "Gold:y\n"), link("../shared.txt", "Normal/rat.txt")), "rat.txt,1",
         "'y" + kNotFloat},
        {"a folder symlink that stays inside",
         both(file("shared/rat.txt", "Gold:z\n"), link("../shared", "Normal/act")),
         "act\\rat.txt,1", "'z" + kNotFloat},
        {"a 100 GB sparse drop table", sparse("Normal/rat.txt", std::uintmax_t{100} << 30),
         "rat.txt,1", "Out of memory||Normal/rat.txt"},
        {"NUL in a line", file("Normal/rat.txt", withNul("Gold:0.", "5\n")), "rat.txt,1",
         withNul("'0.", "5") + kNotFloat},
        {"NUL in a file name", file("Normal/rat.txt", "Gold:1\n"), withNul("rat.txt", "junk,1"),
         withNul("Invalid filename||Normal/rat.txt", "junk")},
        {"backslashes out of the data folder", file("x", ""),
         "..\\..\\..\\..\\..\\..\\..\\..\\dev\\zero,1",
         "Invalid filename||Normal/../../../../../../../../dev/zero"},
        {"out through a subfolder", [](auto& d) { fs::create_directory(d.root / "Normal/act2"); },
         "act2\\..\\..\\..\\rat.txt,1", "Invalid filename||Normal/act2/../../../rat.txt"},
        {"up to a file still inside", file("rat.txt", "Gold:x\n"), "..\\rat.txt,1",
         "'x" + kNotFloat},
        {"a CR-only file", file("Normal/rat.txt", "Nothing:0.5\rGold:0.5\r"), "rat.txt,1",
         "'0.5Gold:0.5" + kNotFloat},
    };
    // The data folder as given, and files too large for memory.
    const struct {
        const char* what;
        std::function<void(const DataFolder&)> setup;
        std::string rest;
        std::string ending;
        std::string as;       // the data folder, inside the one made
        bool limited = false; // holds under the address-space limit only
    } folders[] = {
        {"the data folder is a symlink", both(file("rat.txt", "Gold:w\n"), link(".", "via")),
         "..\\rat.txt,1", "'w" + kNotFloat, "via"},
        {"a 512 MB sparse drop table, 64 MB to spare", sparse("Normal/rat.txt", 512 * kMiB),
         "rat.txt,1", "Out of memory||Normal/rat.txt", "", true},
        {"no such data folder", file("x", ""), "rat.txt,1",
         "Invalid filename|no such folder|ROOT/missing", "missing"},
        {"a file as the data folder", file("x", ""), "rat.txt,1",
         "Invalid filename|not a folder|ROOT/x", "x"},
    };
    const auto expectEnding = [](const char* what, const auto& setup, const std::string& rest,
                                 const std::string& ending, qdc::PathWalk walk,
                                 const std::string& as = "") {
        DataFolder folder;
        setup(folder);
        std::string got = searchRat(folder, rest, 10, 64 * kMiB, walk, as);
        if (const auto at = got.find(folder.root.string()); at != std::string::npos)
            got.replace(at, folder.root.string().size(), "ROOT");
        // Which file a line error came from is not asked here.
        EXPECT_EQ(got.substr(0, ending.find('|') == std::string::npos ? got.find('|') : got.npos),
                  ending)
            << what << (walk == qdc::PathWalk::Kernel ? "" : ", part by part");
    };
    for (const qdc::PathWalk walk : {qdc::PathWalk::Kernel, qdc::PathWalk::PartByPart}) {
        for (const auto& c : cases)
            expectEnding(c.what, c.setup, c.rest, c.ending, walk);
        for (const auto& c : folders)
            if (!c.limited || kAddressLimit)
                expectEnding(c.what, c.setup, c.rest, c.ending, walk, c.as);
    }
    fs::remove(outside);
}

// In a bounded child: who root reads every file as, to meet a file it may not
// read.
void asNobody() {
    if (::geteuid() == 0 && ::setuid(65534) != 0)
        throw qdc::DropError("cannot leave root");
}

TEST(HostileFiles, UnreadableFileIsDenied) {
    DataFolder folder;
    folder.write("Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n");
    folder.write("Normal/rat.txt", "Gold:1\n");
    fs::permissions(folder.root / "Normal/rat.txt", fs::perms::none);
    EXPECT_EQ(runBounded(
                  [&] {
                      asNobody();
                      qdc::DiskFileSource files(folder.root.string());
                      qdc::MemoryResultList list;
                      qdc::monsterSearch({files}, list, "Tunnel Rat", qdc::Difficulty::Normal);
                  },
                  10),
              "File access denied||Normal/rat.txt");
}

// What check lists as errors, one "path:line: message" a line, and how many
// files it read.
std::string checkErrors(const DataFolder& folder, qdc::PathWalk walk,
                        const std::function<void()>& limit) {
    const std::string got = runBounded(
        [&] {
            limit();
            qdc::DiskFileSource files(folder.root.string(), walk);
            const qdc::CheckReport report =
                qdc::checkData(files, qdc::difficultyFolderFiles(files), '.');
            std::string errors;
            for (const qdc::Problem& p : report.problems)
                if (p.severity == qdc::Severity::Error)
                    errors += p.path + ":" + std::to_string(p.line) + ": " + p.message + "\n";
            throw qdc::DropError(errors + std::to_string(report.files) + " files");
        },
        10);
    return got.substr(0, got.find('|'));
}

// Lets the process open two more files than it holds, as `ulimit -n 5` leaves
// the tool its data folder and one file.
void twoMoreFiles() {
    const int first = ::dup(0);
    const int second = ::dup(0);
    ::close(first);
    ::close(second);
    const rlimit limit{rlim_t(second + 1), rlim_t(second + 1)};
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

TEST(HostileFiles, CheckListsWhatItCouldNotRead) {
    const std::string deepName(250, 'd');
    std::string deepPath = "Normal";
    for (int i = 0; i < 17; ++i)
        deepPath += "/" + deepName;
    const struct {
        const char* what;
        std::function<void(const DataFolder&)> setup;
        std::string errors;
        std::function<void()> limit = [] {};
        bool kernelWalk = false; // a walk part by part holds a descriptor a folder
    } cases[] = {
        {"a difficulty folder linked to /",
         [](auto& d) {
             fs::remove_all(d.root / "Hell");
             fs::create_symlink("/", d.root / "Hell");
         },
         "Hell:0: Invalid filename.\nHell/levels.txt:0: Invalid filename.\n"
         "Hell/monsterlist.txt:0: Invalid filename.\n9 files"},
        {"a file linked out of the data folder",
         [](auto& d) { fs::create_symlink("/etc/hostname", d.root / "Normal/out.txt"); },
         "Normal/out.txt:0: Invalid filename.\n9 files"},
        {"a drop table linked out, named by the monster list",
         [](auto& d) {
             d.write("Normal/monsterlist.txt", "Tunnel Rat:out.txt,1\n");
             d.write("Normal/levels.txt", "Tunnel Rat:5\n");
             fs::create_symlink("../../x", d.root / "Normal/out.txt");
         },
         "Normal/out.txt:0: Invalid filename. (named by Normal/monsterlist.txt:1)\n10 files"},
        {"a folder linked inside is not walked",
         [](auto& d) { fs::create_symlink("..", d.root / "Normal/up"); }, "9 files"},
        {"a folder it may not read",
         [](auto& d) {
             fs::create_directory(d.root / "Normal/act2");
             fs::permissions(d.root / "Normal/act2", fs::perms::none);
         },
         "Normal/act2:0: File access denied.\n9 files", asNobody},
        {"a path past the length limit",
         [&](auto& d) {
             int at = ::open((d.root / "Normal").c_str(), O_DIRECTORY | O_RDONLY);
             for (int i = 0; i < 17 && at >= 0; ++i) {
                 ::mkdirat(at, deepName.c_str(), 0755);
                 const int next = ::openat(at, deepName.c_str(), O_DIRECTORY | O_RDONLY);
                 ::close(at);
                 at = next;
             }
             ::close(at);
         },
         deepPath + ":0: Invalid filename.\n9 files"},
        {"two open files to spare", [](auto& d) { d.write("Normal/act2/lurker.txt", ""); },
         "Normal/act2:0: Too many open files.\n9 files", twoMoreFiles, true},
    };
    for (const qdc::PathWalk walk : {qdc::PathWalk::Kernel, qdc::PathWalk::PartByPart}) {
        for (const auto& c : cases) {
            if (c.kernelWalk && walk != qdc::PathWalk::Kernel)
                continue;
#if defined(__SANITIZE_ADDRESS__)
            // The sanitizers' own checks need descriptors of their own.
            if (const auto* limit = c.limit.target<void (*)()>(); limit && *limit == twoMoreFiles)
                continue;
#endif
            DataFolder folder;
            for (const char* list : {"itemlist.txt", "setlist.txt", "unilist.txt"})
                folder.write(list, "");
            for (const char* d : {"Normal", "Nightmare", "Hell"}) {
                folder.write(std::string(d) + "/monsterlist.txt", "");
                folder.write(std::string(d) + "/levels.txt", "");
            }
            c.setup(folder);
            EXPECT_EQ(checkErrors(folder, walk, c.limit), c.errors)
                << c.what << (walk == qdc::PathWalk::Kernel ? "" : ", part by part");
        }
    }
}

// A file system that ignores case, as Windows': the listing spells the files
// as they are on disk, the monster list in another case, and the files open
// by either name. They are named; the monster list line is warned about.
TEST(HostileFiles, CheckWhereCaseIsIgnored) {
    const auto upper = [](std::string_view path) {
        std::string key(path);
        for (char& c : key)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return key;
    };
    const std::string spelled = "in the folder: where case counts, it is not found\n";
    const std::string unnamed = ":0: warning: no monster list names this file\n";
    const struct {
        const char* what;
        std::vector<std::string> listed;  // as the folder spells them
        std::vector<std::string> opening; // the names that open them
        std::string (*nameKey)(std::string_view);
        std::string problems;
    } cases[] = {
        {"names in another case",
         {"Normal/rat.txt", "Normal/act2/drake.txt"},
         {"Normal/RAT.TXT", "Normal/ACT2/Drake.Txt"},
         upper,
         "Normal/monsterlist.txt:1: warning: drop table \"RAT.TXT\" is spelled \"rat.txt\" " +
             spelled +
             "Normal/monsterlist.txt:2: warning: drop table \"ACT2\\Drake.Txt\" is spelled "
             "\"act2\\drake.txt\" " +
             spelled},
        // Only a name that opens a file names it.
        {"where case counts",
         {"Normal/rat.txt", "Normal/act2/drake.txt"},
         {"Normal/rat.txt", "Normal/act2/drake.txt"},
         nullptr,
         "Normal/ACT2/Drake.Txt:0: error: Invalid filename. (named by Normal/monsterlist.txt:2)\n"
         "Normal/RAT.TXT:0: error: File not found. (named by Normal/monsterlist.txt:1)\n"
         "Normal/act2/drake.txt" +
             unnamed + "Normal/rat.txt" + unnamed},
        {"a name that opens nothing",
         {"Normal/rats.txt", "Normal/ACT2/Drake.Txt"},
         {"Normal/rats.txt", "Normal/ACT2/Drake.Txt"},
         upper,
         "Normal/RAT.TXT:0: error: File not found. (named by Normal/monsterlist.txt:1)\n"
         "Normal/rats.txt" +
             unnamed},
    };
    for (const auto& c : cases) {
        qdc::MemoryFileSource files{
            {"Normal/monsterlist.txt", "Tunnel Rat:RAT.TXT,1\nEmber Drake:ACT2\\Drake.Txt,4\n"},
            {"Normal/levels.txt", "Tunnel Rat:5\nEmber Drake:9\n"}};
        for (const std::string& path : c.opening)
            files.set(path, "Gold:1\n");
        qdc::FolderListing listing{c.listed, {}, false, c.nameKey};
        listing.files.emplace_back("Normal/monsterlist.txt");
        std::string problems;
        for (const qdc::Problem& p : qdc::checkData(files, listing, '.').problems)
            if (p.path.starts_with("Normal/"))
                problems += p.path + ":" + std::to_string(p.line) +
                            (p.severity == qdc::Severity::Error ? ": error: " : ": warning: ") +
                            p.message + "\n";
        EXPECT_EQ(problems, c.problems) << c.what;
    }
}

TEST(HostileFiles, PathsLeavingTheDataFolder) {
    for (const std::string path : {"Normal/rat.txt", "Normal/../itemlist.txt", "Normal/./a/../b",
                                   "Normal/..", "", "Normal/rat.txt/"})
        EXPECT_TRUE(qdc::staysInDataFolder(path)) << path;
    // Files where most of these would land were the parts above the folder
    // passed over: they are refused, not found.
    qdc::MemoryFileSource files{{"a/b", ""}, {"Normal/rat.txt", ""}, {"x", ""}};
    for (const std::string& path :
         std::vector<std::string>{"Normal/../..", "../x", "Normal/../../x", "a/b/../../../x",
                                  "/etc/passwd", "Normal//../../x", withNul("a/b", "c"),
                                  "./../Normal/rat.txt", "Normal/./../../Normal/rat.txt"}) {
        EXPECT_FALSE(qdc::staysInDataFolder(path)) << path;
        EXPECT_THROW(files.open(path), qdc::DropError) << path;
    }
}

TEST(HostileNumbers, LongTextsAreShortenedAndExtremesReadBack) {
    const std::string cut = std::string(200, '7') + kCut;
    const auto message = [](const std::function<void()>& convert) {
        try {
            convert();
        } catch (const qdc::DropError& e) {
            return e.message();
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([] { qdc::toFloat(std::string(200, 'x'), '.'); }),
              "'" + std::string(200, 'x') + kNotFloat);
    EXPECT_EQ(message([] { qdc::toFloat(std::string(201, '7') + "x", '.'); }),
              "'" + cut + kNotFloat);
    EXPECT_EQ(message([] { qdc::toInt(std::string(300, '7')); }),
              "'" + cut + "' is not a valid integer value");
    for (const char sep : {'.', ','}) {
        EXPECT_EQ(qdc::toFloat(qdc::chanceText(DBL_MAX, sep), sep), DBL_MAX);
        EXPECT_EQ(qdc::toFloat(qdc::chanceText(-DBL_MAX, sep), sep), -DBL_MAX);
    }
    EXPECT_NE(message([] { qdc::toFloat("1.797693134862325E308", '.'); }), "no error");
    EXPECT_EQ(qdc::intPower(2.0, INT_MIN), 0.0);
    EXPECT_EQ(qdc::intPower(-1.0, INT_MIN + 1), -1.0);
}

// The shapes below hold once lines are views of the file's buffer, and the
// searches merge through an index, sort once at the end and read the lists
// once per search.
TEST(HostileShapes, HundredMegabyteLineUnderAMemoryLimit) {
    DataFolder folder;
    {
        std::ofstream out(folder.root / "Normal/rat.txt", std::ios::binary);
        out << "Gold:";
        const std::string block(kMiB, 'x');
        for (int i = 0; i < 100; ++i)
            out << block;
    }
    // The file once, half of it again, and a small constant.
    EXPECT_EQ(searchRat(folder, "rat.txt,1", 20, 150 * kMiB + 64 * kMiB),
              "'" + std::string(200, 'x') + kCut + kNotFloat + "||Normal/rat.txt");
}

// Thirty ":" offer thirty monster names, each with the rest of the line.
TEST(HostileShapes, HundredMegabyteMonsterLineWithThirtyNames) {
    DataFolder folder;
    {
        std::ofstream out(folder.root / "Normal/monsterlist.txt", std::ios::binary);
        out << std::string(30, ':');
        const std::string block(kMiB, 'x');
        for (int i = 0; i < 100; ++i)
            out << block;
    }
    const auto run = [&](const std::function<void(qdc::FileSource&)>& body) {
        return runBounded(
            [&] {
                qdc::DiskFileSource files(folder.root.string());
                body(files);
            },
            20, 150 * kMiB + 64 * kMiB);
    };
    EXPECT_EQ(run([](qdc::FileSource& files) {
                  qdc::MemoryResultList list;
                  qdc::monsterSearch({files}, list, "Tunnel Rat", qdc::Difficulty::Normal);
              }),
              "finished");
    EXPECT_EQ(run([](qdc::FileSource& files) {
                  std::vector<std::string> names;
                  qdc::readMonsterNames(files, names);
                  if (names.size() != 30)
                      throw qdc::DropError("names: " + std::to_string(names.size()));
              }),
              "finished");
}

namespace {

std::string lines(int count, const char* prefix, const char* suffix) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += prefix + (prefix[0] == '\0' ? "" : std::to_string(i)) + suffix + "\n";
    return text;
}

qdc::MemoryFileSource ringSets(int count) {
    return {{"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
            {"Normal/levels.txt", "Tunnel Rat:50,000\n"},
            {"itemlist.txt", "Ring,1\n"},
            {"setlist.txt", ":Band,1\n" + lines(count, "Band ", ",Ring,3")},
            {"Normal/rat.txt", lines(count, "", "Ring:0.001")}};
}

// `count` monsters sharing one drop table of `count` lines, the last of them
// the Ring's.
qdc::MemoryFileSource sharedTable(int count) {
    return {{"Normal/monsterlist.txt", lines(count, "Monster ", ":shared.txt,1")},
            {"Normal/levels.txt", lines(count, "Monster ", ":50,100")},
            {"itemlist.txt", "Ring,1\n"},
            {"unilist.txt", "Band,Ring:05,4\n"},
            {"setlist.txt", ":Band,05\nBand Ring,Ring,3\n"},
            {"Normal/shared.txt", lines(count, "Item ", ":0.001") + "Ring:0.5\n"}};
}

} // namespace

TEST(HostileShapes, FinishInLinearTime) {
    using qdc::Difficulty;
    using Search = std::function<void(const qdc::SearchEnv&, qdc::ResultList&)>;
    const Search monster = [](auto& env, auto& list) {
        qdc::monsterSearch(env, list, "Tunnel Rat", Difficulty::Normal);
    };
    const Search setMonster = [](auto& env, auto& list) {
        qdc::setMonsterSearch(env, list, "Tunnel Rat", Difficulty::Normal, "0");
    };
    // The check's problems, counted into the list.
    const Search check = [](auto& env, auto& list) {
        list.add(std::to_string(qdc::checkData(env.files, {}, '.').problems.size()));
    };
    const struct {
        const char* what;
        std::function<qdc::MemoryFileSource()> data;
        Search search;
        unsigned seconds;
        // Four million entries sorted take half a minute of CPU time
        // unoptimised: timed in optimised builds only, while the 600 x 600
        // shape covers the same code in every build.
        bool alsoUnoptimised = true;
    } shapes[] = {
        {"40,000 entries after a dash",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
                 {"Normal/rat.txt", "-\n" + lines(40000, "Item ", ":0.00001")}};
         },
         monster, 2},
        {"600 set items of Ring, 600 Ring lines", [] { return ringSets(600); }, setMonster, 2},
        {"2,000 set items of Ring, 2,000 Ring lines", [] { return ringSets(2000); }, setMonster, 10,
         false},
        {"1,000,000 monsters, item search",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", lines(1000000, "Monster ", ":rat.txt,1")},
                 {"Normal/rat.txt", "Ring:0.5\n"}};
         },
         [](auto& env, auto& list) {
             qdc::itemSearch(env, list, "Ring", {true, false, false});
         },
         10},
        {"40,000 monsters sharing a 40,000-line table, item search",
         [] { return sharedTable(40000); },
         [](auto& env, auto& list) {
             qdc::itemSearch(env, list, "Ring", {true, false, false});
         },
         1},
        {"40,000 monsters sharing a 40,000-line table, unique item search",
         [] { return sharedTable(40000); },
         [](auto& env, auto& list) {
             qdc::uniqueItemSearch(env, list, "Band", {true, false, false}, "0");
         },
         1},
        {"40,000 monsters sharing a 40,000-line table, set item search",
         [] { return sharedTable(40000); },
         [](auto& env, auto& list) {
             qdc::setItemSearch(env, list, "Band", "Band Ring", {true, false, false}, "0");
         },
         1},
        {"30,000 Ring uniques above the monster's level, 30,000 Ring lines",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
                 {"Normal/levels.txt", "Tunnel Rat:50\n"},
                 {"itemlist.txt", "Ring,1\n"},
                 {"unilist.txt", lines(30000, "U", ",Ring:60,4") + "Band,Ring:05,4\n"},
                 {"Normal/rat.txt", lines(30000, "", "Ring:0.001")}};
         },
         [](auto& env, auto& list) {
             qdc::uniqueMonsterSearch(env, list, "Tunnel Rat", Difficulty::Normal, "0");
         },
         1},
        {"30,000 Ring uniques, 30,000 Ring lines after a dash",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
                 {"Normal/levels.txt", "Tunnel Rat:50\n"},
                 {"itemlist.txt", "Ring,1\n"},
                 {"unilist.txt", lines(30000, "U", ",Ring:05,4")},
                 {"Normal/rat.txt", "-\n" + lines(30000, "", "Ring:0.001")}};
         },
         [](auto& env, auto& list) {
             qdc::uniqueMonsterSearch(env, list, "Tunnel Rat", Difficulty::Normal, "0");
         },
         1},
        {"100 drop lines, 100 uniques, 20,000 item lines",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
                 {"Normal/levels.txt", "Tunnel Rat:50\n"},
                 {"itemlist.txt", lines(20000, "Item ", ",0") + "Ring,1\n"},
                 {"unilist.txt", lines(100, "U", ",Ring:05,4")},
                 {"Normal/rat.txt", lines(100, "", "Ring:0.001")}};
         },
         [](auto& env, auto& list) {
             qdc::uniqueMonsterSearch(env, list, "Tunnel Rat", Difficulty::Normal, "0");
         },
         2},
        {"one monster on 200,000 monster lines, check",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", lines(200000, "", "Tunnel Rat:rat.txt,1")},
                 {"Normal/rat.txt", "Ring:0.5\n"}};
         },
         check, 1},
        {"200,000 lines of one item around a dash, check",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
                 {"Normal/rat.txt",
                  lines(100000, "", "Ring:0.000001") + "-\n" + lines(100000, "", "Ring:0.000001")}};
         },
         check, 1},
        {"100,000 items after a dash, check",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
                 {"Normal/rat.txt", "-\n" + lines(100000, "Item ", ":0.00001")}};
         },
         check, 1},
        // Entries that the separator command takes out and adds again.
        {"100,000 entries widened",
         [] {
             return qdc::MemoryFileSource{{"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
                                          {"Normal/rat.txt", lines(100000, "I", ":0.0000001")}};
         },
         [=](auto& env, auto& list) {
             monster(env, list);
             qdc::widenSeparators(list);
         },
         1},
        // Each set item at each base set's level, for each monster.
        {"1,500 base sets of a Ring each, 100 monsters at level 200, check",
         [] {
             std::string sets;
             for (int i = 0; i < 1500; ++i)
                 sets += ":S" + std::to_string(i) + ",1\nX" + std::to_string(i) + ",Ring,3\n";
             return qdc::MemoryFileSource{
                 {"itemlist.txt", "Ring,1\n"},
                 {"setlist.txt", sets},
                 {"Normal/monsterlist.txt", lines(100, "M", ":shared.txt,1")},
                 {"Normal/levels.txt", lines(100, "M", ":200")},
                 {"Normal/shared.txt", "Nothing:0.5\nRing:0.5\n"}};
         },
         check, 1},
        // Each unique for each monster, every computation failing.
        {"3,000 Ring uniques, 20,000 monsters, itemlist.txt a folder, check",
         [] {
             return qdc::MemoryFileSource{
                 {"itemlist.txt/x", ""},
                 {"unilist.txt", lines(3000, "U", ",Ring:01,5")},
                 {"Normal/monsterlist.txt", lines(20000, "M", ":shared.txt,1")},
                 {"Normal/levels.txt", lines(20000, "M", ":50")},
                 {"Normal/shared.txt", "Nothing:0.5\nRing:0.2\nCap:0.1\n-\nRing:0.1\n"}};
         },
         check, 1},
        // Each monster on each line, where monsters at the same levels meet
        // the same computations.
        {"20,000 monsters at level 200 sharing 2,000 items of a unique each, check",
         [] {
             std::string uniques;
             for (int i = 0; i < 2000; ++i)
                 uniques += "U" + std::to_string(i) + ",B" + std::to_string(i) + ":05\n";
             return qdc::MemoryFileSource{
                 {"itemlist.txt", lines(2000, "B", ",1")},
                 {"unilist.txt", uniques},
                 {"Normal/monsterlist.txt", lines(20000, "M", ":shared.txt,1")},
                 {"Normal/levels.txt", lines(20000, "M", ":200")},
                 {"Normal/shared.txt", lines(2000, "B", ":0.0005")}};
         },
         check, 1},
        {"6.6 MB of monster lines with 29 colons, check",
         [] {
             std::string line;
             for (int i = 0; i < 28; ++i)
                 line += "Rat:";
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", lines(100000, "", (line + "rat.txt,1").c_str())},
                 {"Normal/rat.txt", "Ring:0.5\n"}};
         },
         check, 1},
    };
    for (const auto& shape : shapes) {
        if (!kOptimised && !shape.alsoUnoptimised)
            continue;
        const std::string got = runBounded(
            [&] {
                qdc::MemoryFileSource files = shape.data();
                qdc::MemoryResultList list;
                shape.search({files}, list);
                if (list.count() == 0)
                    throw qdc::DropError("no entries");
            },
            shape.seconds);
        EXPECT_EQ(got, "finished") << shape.what;
    }
}
