#include "cli/run.h"

#include <clocale>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
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
    const qdc::Terminals terminals{::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1};
    const int status = qdc::runCli(argc, argv, std::cout, std::cerr, separator, terminals);
    std::cout.flush();
    return status;
}
