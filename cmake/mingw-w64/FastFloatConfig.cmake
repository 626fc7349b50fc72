include(${CMAKE_CURRENT_LIST_DIR}/headeronly.cmake)
dropcalc_header_only_target(FastFloat::fast_float FOLDERS fast_float)
set(FastFloat_FOUND TRUE)
