#include "cli/console.h"

#include "data/utf16.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

namespace qdc::cli {

// Binary mode: a line ends in LF alone, as on every other system.
void prepareOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// Windows hands narrow arguments over in the ANSI code page, which cannot
// hold every name: they are read again from the wide command line, as UTF-8
// whatever the console's code page. `argv` as it is when Windows cannot split
// the command line.
std::vector<std::string> programArguments(int argc, char** argv) {
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count); wide != nullptr) {
        for (int i = 0; i < count; ++i)
            args.push_back(utf8FromUtf16(wide[i]));
        ::LocalFree(wide);
    }
    if (args.empty())
        return {argv, argv + argc};
    return args;
}

Terminals outputTerminals() {
    return {::_isatty(_fileno(stdout)) != 0, ::_isatty(_fileno(stderr)) != 0};
}

} // namespace qdc::cli
