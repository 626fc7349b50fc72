#include "cli/console.h"
#include "cli/run.h"

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    qdc::cli::prepareOutput();
    const std::vector<std::string> args = qdc::cli::programArguments(argc, argv);
    std::vector<const char*> arguments;
    arguments.reserve(args.size() + 1);
    for (const std::string& arg : args)
        arguments.push_back(arg.c_str());
    arguments.push_back(nullptr);
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
    const int status = qdc::runCli(static_cast<int>(args.size()), arguments.data(), std::cout,
                                   std::cerr, separator, qdc::cli::outputTerminals());
    std::cout.flush();
    return status;
}
