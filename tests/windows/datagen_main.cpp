// Writes the benchmark's invented data set, for the comparison of the Windows
// tool with the Linux tool: dropcalc-datagen FOLDER SCALE.

#include "bench/datagen.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: dropcalc-datagen FOLDER SCALE\n";
        return 2;
    }
    qdc::bench::generateDataSet(argv[1], std::stoi(argv[2]));
    return 0;
}
