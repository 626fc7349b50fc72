include(${CMAKE_CURRENT_LIST_DIR}/headeronly.cmake)
dropcalc_header_only_target(CLI11::CLI11 CLI/CLI.hpp)
set(CLI11_FOUND TRUE)
