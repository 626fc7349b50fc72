#include "cli/run.h"

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "data/utf16.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

namespace {

// The arguments as UTF-8, whatever the console's code page: Windows hands
// narrow arguments over in the ANSI code page, which cannot hold every name.
std::vector<std::string> utf8Arguments() {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return args;
    for (int i = 0; i < count; ++i)
        args.push_back(qdc::utf8FromUtf16(wide[i]));
    ::LocalFree(wide);
    return args;
}

} // namespace
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
    const char* const* arguments = argv;
#ifdef _WIN32
    // Binary mode: a line ends in LF alone, as on every other system.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const std::vector<std::string> args = utf8Arguments();
    std::vector<const char*> pointers;
    for (const std::string& arg : args)
        pointers.push_back(arg.c_str());
    if (!pointers.empty()) {
        argc = static_cast<int>(pointers.size());
        pointers.push_back(nullptr);
        arguments = pointers.data();
    }
#endif
    // The decimal separator of the user's locale; every conversion of the
    // program takes it as a parameter, so the C library goes back to "C".
    char separator = '.';
    if (std::setlocale(LC_ALL, "") != nullptr) {
        const char* point = std::localeconv()->decimal_point;
        if (point != nullptr && point[0] != '\0' && point[1] == '\0')
            separator = point[0];
    }
    std::setlocale(LC_ALL, "C");
    std::ios::sync_with_stdio(false);
#ifdef _WIN32
    const qdc::Terminals terminals{::_isatty(_fileno(stdout)) != 0,
                                   ::_isatty(_fileno(stderr)) != 0};
#else
    const qdc::Terminals terminals{::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1};
#endif
    const int status = qdc::runCli(argc, arguments, std::cout, std::cerr, separator, terminals);
    std::cout.flush();
    return status;
}
