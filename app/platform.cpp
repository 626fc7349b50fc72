#include "app/platform.h"

#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#endif

std::filesystem::path thisProgram(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
#if defined(_WIN32)
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            break;
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(2 * path.size());
    }
#else
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self;
#endif
    return fs::absolute(argv0, ec);
}
