// Times each search against the cost of reading its own files (the read
// floor: open, fstat, one read, close, and counting lines with memchr), in the
// same run, by turns. Each search is timed twice: reading through the disk
// source, and through a source that reads as the floor does. Each search runs in a child process,
// so that its peak memory is its own.
//
//   dropcalc-bench [--scale N] [--hostile] [--only TEXT] [--keep DIR]
//
// --only runs the searches whose name holds TEXT; --keep writes the data
// into DIR and leaves it there (a later run with the same DIR reuses it).

#include "bench/datagen.h"
#include "check/check.h"
#include "data/diskfilesource.h"
#include "search/searches.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace qdc;
using Clock = std::chrono::steady_clock;
using SearchFn = std::function<void(const SearchEnv&, MemoryResultList&)>;

struct Case {
    std::string name;
    std::string dir;
    SearchFn run;
};

// Remembers every path a search loads.
class RecordingSource : public FileSource {
  public:
    explicit RecordingSource(FileSource& inner) : inner_(inner) {}
    std::shared_ptr<const FileLines> load(const std::string& path) override {
        paths.insert(path);
        return inner_.load(path);
    }
    std::set<std::string> paths;

  private:
    FileSource& inner_;
};

// Reads each file as the floor does, with one read sized by fstat: shows the
// searches' own cost apart from how the disk source reads.
class OneReadSource : public FileSource {
  public:
    explicit OneReadSource(std::string dir) : dir_(std::move(dir)) {}
    std::shared_ptr<const FileLines> load(const std::string& path) override {
        const int fd = ::open((dir_ + "/" + path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw DropError("File not found");
        struct stat st {};
        ::fstat(fd, &st);
        std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
        const ssize_t got = ::read(fd, bytes.data(), bytes.size());
        ::close(fd);
        bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return makeFileLines(std::move(bytes));
    }

  private:
    std::string dir_;
};

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The best time of each of two pieces of work, run by turns a few times (at
// most about three seconds of them), so that both meet the same load.
std::vector<double> bestOfEach(const std::vector<std::function<void()>>& works) {
    std::vector<double> best(works.size(), 1e300);
    double total = 0;
    for (int i = 0; i < 15 && (i < 2 || total < 3000); ++i) {
        for (std::size_t which = 0; which < works.size(); ++which) {
            const auto start = Clock::now();
            works[which]();
            const double ms = millisSince(start);
            best[which] = std::min(best[which], ms);
            total += ms;
        }
    }
    return best;
}

std::size_t readFloor(const std::string& dir, const std::vector<std::string>& paths) {
    std::size_t lines = 0;
    std::string buffer;
    for (const std::string& path : paths) {
        const int fd = ::open((dir + "/" + path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        ::fstat(fd, &st);
        buffer.resize(static_cast<std::size_t>(st.st_size));
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        ::close(fd);
        for (const char* p = buffer.data(); got > 0;) {
            const void* nl = std::memchr(p, '\n', buffer.data() + got - p);
            if (nl == nullptr)
                break;
            ++lines;
            p = static_cast<const char*>(nl) + 1;
        }
    }
    return lines;
}

// In the child: one recorded run, then the timed runs; the answer goes to `fd`.
[[noreturn]] void childRun(const Case& c, int fd) {
    DiskFileSource disk(c.dir);
    RecordingSource recorder(disk);
    MemoryResultList list;
    std::string error = "-";
    try {
        c.run(SearchEnv{recorder, '.', SortMode::ChanceFirst}, list);
    } catch (const DropError& e) {
        error = e.message();
    }
    const std::vector<std::string> paths(recorder.paths.begin(), recorder.paths.end());
    OneReadSource oneRead(c.dir);
    // Timed as the window runs a search: with a cancel flag, never set.
    const std::atomic<bool> cancel{false};
    const auto timed = [&](FileSource& files) {
        return [&] {
            MemoryResultList again;
            try {
                c.run(SearchEnv{files, '.', SortMode::ChanceFirst, &cancel}, again);
            } catch (const DropError&) {
            }
        };
    };
    const std::vector<double> best =
        bestOfEach({timed(disk), [&] { readFloor(c.dir, paths); }, timed(oneRead)});
    std::ostringstream out;
    out << best[0] << ' ' << best[1] << ' ' << best[2] << ' ' << list.count() << ' ' << paths.size()
        << ' ' << error << '\n';
    const std::string text = out.str();
    if (::write(fd, text.data(), text.size()) < 0)
        std::_Exit(2);
    std::_Exit(0);
}

void runCase(const Case& c) {
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        childRun(c, fds[1]);
    }
    ::close(fds[1]);
    std::string text;
    char buf[65536];
    for (ssize_t got; (got = ::read(fds[0], buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<std::size_t>(got));
    ::close(fds[0]);
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    std::istringstream in(text);
    double ms = 0;
    double floor = 0;
    double oneRead = 0;
    int entries = 0;
    int files = 0;
    std::string error;
    in >> ms >> floor >> oneRead >> entries >> files;
    std::getline(in >> std::ws, error);
    std::printf("%-40s %7d entries %5d files %9.2f ms  floor %7.2f ms  %7.2f x  one-read "
                "source %7.2f x  peak %6.1f MB%s\n",
                c.name.c_str(), entries, files, ms, floor, ms / floor, oneRead / floor,
                static_cast<double>(usage.ru_maxrss) / 1024.0,
                error == "-" ? "" : ("  error: " + error).c_str());
    std::fflush(stdout);
}

DifficultySet all() {
    return {true, true, true};
}

std::vector<Case> generatedCases(const std::string& dir) {
    const std::string monster = bench::generatedMonster(60);
    return {
        {"item, all difficulties", dir,
         [](const SearchEnv& e, MemoryResultList& l) { itemSearch(e, l, "Ring", all()); }},
        {"unique item, all difficulties", dir,
         [](const SearchEnv& e, MemoryResultList& l) {
             uniqueItemSearch(e, l, bench::kGeneratedUnique, all(), "100");
         }},
        {"set item, all difficulties", dir,
         [](const SearchEnv& e, MemoryResultList& l) {
             setItemSearch(e, l, bench::kGeneratedBaseSet, bench::kGeneratedSetItem, all(), "100");
         }},
        {"monster", dir,
         [monster](const SearchEnv& e, MemoryResultList& l) {
             monsterSearch(e, l, monster, Difficulty::Hell);
         }},
        {"unique monster", dir,
         [monster](const SearchEnv& e, MemoryResultList& l) {
             uniqueMonsterSearch(e, l, monster, Difficulty::Hell, "100");
         }},
        {"set monster", dir,
         [monster](const SearchEnv& e, MemoryResultList& l) {
             setMonsterSearch(e, l, monster, Difficulty::Hell, "100");
         }},
        {"check, every file", dir,
         [dir](const SearchEnv& e, MemoryResultList&) {
             checkData(e.files, difficultyFolderFiles(DiskFileSource(dir)), e.decimalSeparator);
         }},
        {"base-set choice", dir,
         [](const SearchEnv& e, MemoryResultList&) {
             SetItemChoice choice;
             chooseBaseSet(e.files, bench::kGeneratedBaseSet, choice);
         }},
    };
}

std::vector<Case> hostileCases(const std::string& root) {
    bench::writeLongTable(root + "/long", 40000);
    bench::writeManySetItems(root + "/sets600", 600);
    bench::writeManySetItems(root + "/sets2000", 2000);
    bench::writeManyMonsters(root + "/monsters", 1000000);
    bench::writeUniqueCross(root + "/cross", 100, 100, 20000);
    const std::string m0 = bench::generatedMonster(0);
    return {
        {"hostile: 40,000 after '-', monster", root + "/long",
         [m0](const SearchEnv& e, MemoryResultList& l) {
             monsterSearch(e, l, m0, Difficulty::Normal);
         }},
        {"hostile: 600 x 600, set monster", root + "/sets600",
         [m0](const SearchEnv& e, MemoryResultList& l) {
             setMonsterSearch(e, l, m0, Difficulty::Normal, "0");
         }},
        {"hostile: 2000 x 2000, set monster", root + "/sets2000",
         [m0](const SearchEnv& e, MemoryResultList& l) {
             setMonsterSearch(e, l, m0, Difficulty::Normal, "0");
         }},
        {"hostile: 1,000,000 monsters, item", root + "/monsters",
         [](const SearchEnv& e, MemoryResultList& l) { itemSearch(e, l, "Ring", {true}); }},
        {"hostile: 100x100x20000, unique monster", root + "/cross",
         [m0](const SearchEnv& e, MemoryResultList& l) {
             uniqueMonsterSearch(e, l, m0, Difficulty::Normal, "0");
         }},
    };
}

} // namespace

int main(int argc, char** argv) {
    int scale = 100;
    bool hostile = false;
    std::string keep;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scale" && i + 1 < argc)
            scale = std::atoi(argv[++i]);
        else if (arg == "--hostile")
            hostile = true;
        else if (arg == "--only" && i + 1 < argc)
            only = argv[++i];
        else if (arg == "--keep" && i + 1 < argc)
            keep = argv[++i];
    }
    const std::string root = keep.empty() ? (std::filesystem::temp_directory_path() /
                                             ("dropcalc-bench-" + std::to_string(::getpid())))
                                                .string()
                                          : keep;
    if (keep.empty() || !std::filesystem::exists(root + "/data"))
        bench::generateDataSet(root + "/data", scale);
    std::printf("scale %d, data in %s\n", scale, root.c_str());
    std::vector<Case> cases = generatedCases(root + "/data");
    if (hostile)
        for (Case& c : hostileCases(root + "/hostile"))
            cases.push_back(std::move(c));
    for (const Case& c : cases)
        if (c.name.find(only) != std::string::npos)
            runCase(c);
    if (keep.empty())
        std::filesystem::remove_all(root);
    return 0;
}
