#pragma once

#include "cli/run.h"
#include "tests/support/spawn.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// Runs the tool in-process with `args` (without the program name).
inline CliRun runTool(std::vector<std::string> args, char localeSeparator = '.') {
    args.insert(args.begin(), "dropcalc-cli");
    std::vector<const char*> argv;
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        qdc::runCli(static_cast<int>(argv.size()), argv.data(), out, err, localeSeparator);
    return {status, out.str(), err.str()};
}

// Runs the built tool with `args` (without the program name) as a user runs
// it, without a shell.
inline qdc::test::Spawned runBinary(std::vector<std::string> args,
                                    const qdc::test::SpawnOptions& options = {}) {
    args.insert(args.begin(), DROPCALC_CLI);
    return qdc::test::spawn(args, options);
}

// A data directory in a fresh temporary folder, removed again at the end.
class TempDataDir {
  public:
    explicit TempDataDir(std::initializer_list<std::pair<std::string, std::string>> files) {
        root_ = std::filesystem::temp_directory_path() /
                ("dropcalc-test-" + std::to_string(qdc::test::processId()) + "-" +
                 std::to_string(counter()++));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        for (const auto& [path, bytes] : files)
            write(path, bytes);
    }
    ~TempDataDir() { std::filesystem::remove_all(root_); }
    TempDataDir(const TempDataDir&) = delete;
    TempDataDir& operator=(const TempDataDir&) = delete;

    void write(const std::string& path, const std::string& bytes) const {
        const auto full = root_ / path;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
    }
    std::string path() const { return root_.string(); }

  private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path root_;
};
