// Data folders made to hurt: each search over one ends with its clear error,
// in bounded time and memory. Every case runs in a child process under an
// alarm (and an address-space limit where one is given), so that a hang or a
// runaway allocation fails the case instead of the whole run.

#include "data/datapath.h"
#include "data/diskfilesource.h"
#include "results/convert.h"
#include "results/error.h"
#include "results/numtext.h"
#include "search/searches.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <csignal>
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

// How a bounded run ended: the error's message and details, "finished" when
// no error was raised, or what stopped the child.
struct Ending {
    std::string message;
    std::string detail;
    std::string path; // where the error says it came from
};

constexpr std::size_t kMiB = 1 << 20;

#ifdef DROPCALC_ASAN
constexpr int kSlowdown = 5; // the sanitizers' cost, and no address-space limit
#else
constexpr int kSlowdown = 1;
#endif

void sendField(int fd, const std::string& field) {
    const auto size = static_cast<std::uint32_t>(field.size());
    (void)!::write(fd, &size, sizeof size);
    (void)!::write(fd, field.data(), field.size());
}

std::string receiveField(FILE* in) {
    std::uint32_t size = 0;
    if (std::fread(&size, sizeof size, 1, in) != 1)
        return "";
    std::string field(size, '\0');
    return std::fread(field.data(), 1, size, in) == size ? field : "";
}

std::size_t addressSpaceInUse() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0)
            return std::stoul(line.substr(7)) * 1024;
    return 0;
}

void childRun(int fd, const std::function<void()>& body, std::size_t extraMemory) {
#ifndef DROPCALC_ASAN
    if (extraMemory > 0) {
        const rlim_t limit = addressSpaceInUse() + extraMemory;
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_AS, &rl);
    }
#else
    (void)extraMemory;
#endif
    Ending ending{"finished", "", ""};
    try {
        body();
    } catch (const qdc::DropError& e) {
        ending = {e.message(), e.detail(), e.location() ? e.location()->path : ""};
    } catch (const std::bad_alloc&) {
        ending = {"out of memory", "", ""};
    }
    sendField(fd, ending.message);
    sendField(fd, ending.detail);
    sendField(fd, ending.path);
    ::_exit(0);
}

// Runs `body` in a child given `seconds` and, past what the process already
// holds, `extraMemory` bytes of address space (0: no limit).
Ending runBounded(const std::function<void()>& body, int seconds, std::size_t extraMemory = 0) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {"no pipe", "", ""};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        ::alarm(static_cast<unsigned>(seconds * kSlowdown));
        childRun(fds[1], body, extraMemory);
    }
    ::close(fds[1]);
    FILE* in = ::fdopen(fds[0], "rb");
    Ending ending{receiveField(in), receiveField(in), receiveField(in)};
    std::fclose(in);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return {WTERMSIG(status) == SIGALRM ? "took too long" : "killed by a signal", "", ""};
    return ending;
}

class DataFolder {
  public:
    DataFolder() {
        root_ = fs::temp_directory_path() /
                ("dropcalc-hostile-" + std::to_string(::getpid()) + "-" + std::to_string(++count_));
        fs::remove_all(root_);
        fs::create_directories(root_ / "Normal");
    }
    ~DataFolder() {
        fs::permissions(root_ / "Normal", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root_);
    }
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    fs::path operator/(const std::string& path) const { return root_ / path; }
    void write(const std::string& path, const std::string& bytes) const {
        std::ofstream(root_ / path, std::ios::binary) << bytes;
    }
    std::string path() const { return root_.string(); }

  private:
    static inline int count_ = 0;
    fs::path root_;
};

// A monster search for "Tunnel Rat" at Normal, whose monster-list line ends
// with `rest` (its drop table and picks).
Ending searchRat(const DataFolder& folder, const std::string& rest, int seconds = 10,
                 std::size_t extraMemory = 0) {
    folder.write("Normal/monsterlist.txt", "Tunnel Rat:" + rest + "\n");
    return runBounded(
        [&] {
            qdc::DiskFileSource files(folder.path());
            qdc::MemoryResultList list;
            qdc::monsterSearch({files}, list, "Tunnel Rat", qdc::Difficulty::Normal);
        },
        seconds, extraMemory);
}

std::string withNul(const char* a, const char* b) {
    return std::string(a) + '\0' + b;
}

} // namespace

TEST(HostileFiles, EachEndsWithItsClearError) {
    using Setup = std::function<void(const DataFolder&)>;
    const struct {
        const char* what;
        Setup setup;
        std::string rest; // of the monster-list line
        Ending ending;
    } cases[] = {
        {"a FIFO",
         [](auto& d) { ::mkfifo((d / "Normal/rat.txt").c_str(), 0600); },
         "rat.txt,1",
         {"File access denied", "", "Normal/rat.txt"}},
        {"/dev/zero through a symlink",
         [](auto& d) { fs::create_symlink("/dev/zero", d / "Normal/rat.txt"); },
         "rat.txt,1",
         {"File access denied", "", "Normal/rat.txt"}},
        {"a directory",
         [](auto& d) { fs::create_directory(d / "Normal/rat.txt"); },
         "rat.txt,1",
         {"File access denied", "", "Normal/rat.txt"}},
        {"a symlink loop",
         [](auto& d) {
             fs::create_symlink("b.txt", d / "Normal/rat.txt");
             fs::create_symlink("rat.txt", d / "Normal/b.txt");
         },
         "rat.txt,1",
         {"I/O error 40", "Too many levels of symbolic links", "Normal/rat.txt"}},
        {"a symlink to a file inside",
         [](auto& d) {
             d.write("shared.txt", "Gold:y\n");
             fs::create_symlink("../shared.txt", d / "Normal/rat.txt");
         },
         "rat.txt,1",
         {"'y' is not a valid floating point value", "", ""}},
        {"NUL in a line",
         [](auto& d) { d.write("Normal/rat.txt", withNul("Gold:0.", "5\n")); },
         "rat.txt,1",
         {withNul("'0.", "5' is not a valid floating point value"), "", ""}},
        {"NUL in a file name",
         [](auto& d) { d.write("Normal/rat.txt", "Gold:1\n"); },
         withNul("rat.txt", "junk,1"),
         {"Invalid filename", "", withNul("Normal/rat.txt", "junk")}},
        {"backslashes out of the data folder",
         [](auto&) {},
         "..\\..\\..\\..\\..\\..\\..\\..\\dev\\zero,1",
         {"Invalid filename", "", "Normal/../../../../../../../../dev/zero"}},
        {"out through a subfolder",
         [](auto&) {},
         "act2\\..\\..\\..\\rat.txt,1",
         {"Invalid filename", "", "Normal/act2/../../../rat.txt"}},
        {"up to a file still inside",
         [](auto& d) { d.write("rat.txt", "Gold:x\n"); },
         "..\\rat.txt,1",
         {"'x' is not a valid floating point value", "", ""}},
        {"a CR-only file",
         [](auto& d) { d.write("Normal/rat.txt", "Nothing:0.5\rGold:0.5\r"); },
         "rat.txt,1",
         {"'0.5Gold:0.5' is not a valid floating point value", "", ""}},
    };
    for (const auto& c : cases) {
        DataFolder folder;
        c.setup(folder);
        const Ending got = searchRat(folder, c.rest);
        EXPECT_EQ(got.message, c.ending.message) << c.what;
        EXPECT_EQ(got.detail, c.ending.detail) << c.what;
        if (!c.ending.path.empty()) {
            EXPECT_EQ(got.path, c.ending.path) << c.what;
        }
    }
}

TEST(HostileFiles, UnreadableFileIsDenied) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    DataFolder folder;
    folder.write("Normal/rat.txt", "Gold:1\n");
    fs::permissions(folder / "Normal/rat.txt", fs::perms::none);
    EXPECT_EQ(searchRat(folder, "rat.txt,1").message, "File access denied");
}

// Holds once lines are views of the file's buffer and nothing copies a whole
// line.
TEST(HostileShapes, HundredMegabyteLineUnderAMemoryLimit) {
    DataFolder folder;
    {
        std::ofstream out(folder / "Normal/rat.txt", std::ios::binary);
        out << "Gold:";
        const std::string block(kMiB, 'x');
        for (int i = 0; i < 100; ++i)
            out << block;
    }
    // The file once, half of it again, and a small constant.
    const Ending got = searchRat(folder, "rat.txt,1", 20, 150 * kMiB + 64 * kMiB);
    EXPECT_EQ(got.message, "'" + std::string(200, 'x') +
                               "\xE2\x80\xA6' is not a valid "
                               "floating point value");
}

TEST(HostileFiles, PathsLeavingTheDataFolder) {
    const struct {
        std::string path;
        bool inside;
    } cases[] = {
        {"Normal/rat.txt", true},
        {"Normal/../itemlist.txt", true},
        {"Normal/./a/../b", true},
        {"Normal/..", true},
        {"", true},
        {"Normal/../..", false},
        {"../x", false},
        {"Normal/../../x", false},
        {"a/b/../../../x", false},
        {"/etc/passwd", false},
        {withNul("a", "b"), false},
        {"Normal//../../x", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qdc::staysInDataFolder(c.path), c.inside) << c.path;
        if (!c.inside) {
            qdc::MemoryFileSource files{{"Normal/rat.txt", ""}};
            EXPECT_THROW(files.open(c.path), qdc::DropError) << c.path;
        }
    }
}

TEST(HostileNumbers, LongTextsAreShortenedInMessages) {
    const std::string cut = std::string(200, '7') + "\xE2\x80\xA6";
    const struct {
        std::string text;
        std::function<void(const std::string&)> convert;
        std::string message;
    } cases[] = {
        {std::string(200, 'x'), [](auto& t) { qdc::toFloat(t, '.'); },
         "'" + std::string(200, 'x') + "' is not a valid floating point value"},
        {std::string(201, '7') + "x", [](auto& t) { qdc::toFloat(t, '.'); },
         "'" + cut + "' is not a valid floating point value"},
        {std::string(300, '7') + "x", [](auto& t) { qdc::toInt(t); },
         "'" + cut + "' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        try {
            c.convert(c.text);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const qdc::DropError& e) {
            EXPECT_EQ(e.message(), c.message);
        }
    }
}

TEST(HostileNumbers, ExtremesOfTheNumberHelpers) {
    for (const char sep : {'.', ','}) {
        EXPECT_EQ(qdc::toFloat(qdc::chanceText(DBL_MAX, sep), sep), DBL_MAX);
        EXPECT_EQ(qdc::toFloat(qdc::chanceText(-DBL_MAX, sep), sep), -DBL_MAX);
    }
    EXPECT_THROW(qdc::toFloat("1.797693134862325E308", '.'), qdc::DropError);
    EXPECT_THROW(qdc::toFloat("-1E309", '.'), qdc::DropError);
    EXPECT_EQ(qdc::intPower(2.0, INT_MIN), 0.0);
    EXPECT_EQ(qdc::intPower(1.0, INT_MIN), 1.0);
    EXPECT_EQ(qdc::intPower(-1.0, INT_MIN + 1), -1.0);
}

namespace {

std::string lines(int count, const std::function<std::string(int)>& line) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line(i) + "\n";
    return text;
}

std::string numbered(const char* prefix, int i, const char* suffix) {
    return prefix + std::to_string(i) + suffix;
}

// A search over a data set shaped to make slow code quadratic; it must finish
// without error within `seconds`.
struct Shape {
    const char* what;
    std::function<qdc::MemoryFileSource()> data;
    std::function<void(const qdc::SearchEnv&, qdc::ResultList&)> search;
    int seconds;
};

void monsterSearch(const qdc::SearchEnv& env, qdc::ResultList& list) {
    qdc::monsterSearch(env, list, "Tunnel Rat", qdc::Difficulty::Normal);
}

void setMonsterSearch(const qdc::SearchEnv& env, qdc::ResultList& list) {
    qdc::setMonsterSearch(env, list, "Tunnel Rat", qdc::Difficulty::Normal, "0");
}

qdc::MemoryFileSource ringSets(int sets, int drops) {
    return {{"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
            {"Normal/levels.txt", "Tunnel Rat:50,000\n"},
            {"itemlist.txt", "Ring,1\n"},
            {"setlist.txt",
             ":Band,1\n" + lines(sets, [](int i) { return numbered("Band ", i, ",Ring,3"); })},
            {"Normal/rat.txt", lines(drops, [](int) { return "Ring:0.001"; })}};
}

} // namespace

// These hold once the searches merge through an index, sort once at the end
// and read the lists once per search.
TEST(HostileShapes, FinishInLinearTime) {
    const Shape shapes[] = {
        {"40,000 entries after a dash, monster search",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
                 {"Normal/rat.txt",
                  "-\n" + lines(40000, [](int i) { return numbered("Item ", i, ":0.00001"); })}};
         },
         monsterSearch, 2},
        {"600 set items of Ring, 600 Ring lines, set monster search",
         [] { return ringSets(600, 600); }, setMonsterSearch, 2},
        {"2,000 set items of Ring, 2,000 Ring lines, set monster search",
         [] { return ringSets(2000, 2000); }, setMonsterSearch, 4},
        {"1,000,000 monsters, item search",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt",
                  lines(1000000, [](int i) { return numbered("Monster ", i, ":rat.txt,1"); })},
                 {"Normal/rat.txt", "Ring:0.5\n"}};
         },
         [](const qdc::SearchEnv& env, qdc::ResultList& list) {
             qdc::itemSearch(env, list, "Ring", {true, false, false});
         },
         10},
        {"100 drop lines, 100 uniques, 20,000 item lines, unique monster search",
         [] {
             return qdc::MemoryFileSource{
                 {"Normal/monsterlist.txt", "Tunnel Rat:rat.txt,1\n"},
                 {"Normal/levels.txt", "Tunnel Rat:50\n"},
                 {"itemlist.txt",
                  lines(20000, [](int i) { return numbered("Item ", i, ",0"); }) + "Ring,1\n"},
                 {"unilist.txt", lines(100, [](int i) { return numbered("U", i, ",Ring:05,4"); })},
                 {"Normal/rat.txt", lines(100, [](int) { return "Ring:0.001"; })}};
         },
         [](const qdc::SearchEnv& env, qdc::ResultList& list) {
             qdc::uniqueMonsterSearch(env, list, "Tunnel Rat", qdc::Difficulty::Normal, "0");
         },
         2},
    };
    for (const auto& shape : shapes) {
        const Ending got = runBounded(
            [&] {
                qdc::MemoryFileSource files = shape.data();
                qdc::MemoryResultList list;
                shape.search({files}, list);
                if (list.count() == 0)
                    throw qdc::DropError("no entries");
            },
            shape.seconds);
        EXPECT_EQ(got.message, "finished") << shape.what;
    }
}
