include(${CMAKE_CURRENT_LIST_DIR}/headeronly.cmake)
# {fmt} compiled into each user: there is no MinGW build of its library here.
dropcalc_header_only_target(fmt::fmt-header-only FOLDERS fmt DEFINITIONS FMT_HEADER_ONLY=1)
dropcalc_header_only_target(fmt::fmt FOLDERS fmt DEFINITIONS FMT_HEADER_ONLY=1)
set(fmt_FOUND TRUE)
