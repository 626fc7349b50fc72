#pragma once

// What the tests need of the operating system beyond standard C++, behind
// one interface with a POSIX and a Windows side: starting a program without a
// shell, and this process's id.

#include <cstddef>
#include <string>
#include <vector>

namespace qdc::test {

struct Spawned {
    int status = -1; // the exit status; -1 when the program did not end normally
    std::string out; // all it wrote to standard output
    std::string err; // all it wrote to standard error
};

struct SpawnOptions {
    std::string folder; // the working folder; empty: this process's
    // Standard output is a place where nothing can be written: /dev/full on
    // POSIX, a pipe whose reading end is closed on Windows.
    bool unwritableOutput = false;
    // An address-space limit in bytes (0: none). POSIX only.
    std::size_t memoryLimit = 0;
    // The most files the program may hold open, the standard three included
    // (0: no limit). POSIX only.
    int openFileLimit = 0;
};

// Runs `command` (the program's path, then its arguments, passed as they are)
// and waits for it to end.
Spawned spawn(const std::vector<std::string>& command, const SpawnOptions& options = {});

int processId();

} // namespace qdc::test
