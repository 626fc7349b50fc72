#include "tests/support/spawn.h"

#include <thread>

#ifdef _WIN32
#include "data/utf16.h"

#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace qdc::test {

#ifdef _WIN32

namespace {

// One argument quoted as the C runtime splits a command line back.
std::wstring quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

std::wstring wide(const std::string& text) {
    return utf16FromUtf8(text).value_or(L"?");
}

struct Pipe {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    Pipe() {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        ::CreatePipe(&read, &write, &inherit, 0);
        ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    }
};

std::string drain(HANDLE handle) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    ::CloseHandle(handle);
    return text;
}

} // namespace

Spawned spawn(const std::vector<std::string>& command, const SpawnOptions& options) {
    std::wstring line;
    for (const std::string& arg : command)
        line += (line.empty() ? L"" : L" ") + quoted(wide(arg));
    Pipe out;
    Pipe err;
    if (options.unwritableOutput) {
        ::CloseHandle(out.read);
        out.read = nullptr;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.write;
    startup.hStdError = err.write;
    PROCESS_INFORMATION process{};
    const std::wstring folder = wide(options.folder);
    const bool started =
        ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         options.folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    ::CloseHandle(out.write);
    ::CloseHandle(err.write);
    Spawned result;
    std::thread errReader([&] { result.err = drain(err.read); });
    if (out.read != nullptr)
        result.out = drain(out.read);
    errReader.join();
    if (!started)
        return result;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    result.status = static_cast<int>(code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return result;
}

int processId() {
    return static_cast<int>(::GetCurrentProcessId());
}

#else

namespace {

std::string drain(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return text;
}

} // namespace

Spawned spawn(const std::vector<std::string>& command, const SpawnOptions& options) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return {};
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // fork rather than posix_spawn: the child changes its folder and limits.
    const pid_t child = ::fork();
    if (child == 0) {
        const int output =
            options.unwritableOutput ? ::open("/dev/full", O_WRONLY | O_CLOEXEC) : out[1];
        ::dup2(output, 1);
        ::dup2(err[1], 2);
        // Nothing else of this process's: what a limit counts is the program's.
        if (::close_range(3, ~0U, 0) != 0)
            for (int fd = 3; fd < 1024; ++fd)
                ::close(fd);
        if (!options.folder.empty() && ::chdir(options.folder.c_str()) != 0)
            ::_exit(127);
        if (options.memoryLimit > 0) {
            const rlimit limit{options.memoryLimit, options.memoryLimit};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        if (options.openFileLimit > 0) {
            const auto files = static_cast<rlim_t>(options.openFileLimit);
            const rlimit limit{files, files};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Spawned result;
    std::thread errReader([&] { result.err = drain(err[0]); });
    result.out = drain(out[0]);
    errReader.join();
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    return result;
}

int processId() {
    return static_cast<int>(::getpid());
}

#endif

} // namespace qdc::test
