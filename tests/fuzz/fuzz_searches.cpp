// Every search and the base-set choice over a data folder cut from the input.

#include "fuzz_data.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    qdc::MemoryFileSource files;
    const fuzz::Query query = fuzz::readDataFolder(input, files);
    fuzz::runEverySearch(files, query);
    return 0;
}
