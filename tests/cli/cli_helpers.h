#pragma once

#include "cli/run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <unistd.h>
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

// Runs `command` in the shell; returns its standard output.
inline std::string runShell(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

// A data directory in a fresh temporary folder, removed again at the end.
class TempDataDir {
  public:
    explicit TempDataDir(std::initializer_list<std::pair<std::string, std::string>> files) {
        root_ = std::filesystem::temp_directory_path() /
                ("dropcalc-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
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
