# Cross-builds the core, the tool and the tests for 64-bit Windows with
# MinGW-w64, and runs what the build runs (test discovery, the tests) under
# Wine. The host's own include folder never reaches the compiler: the
# header-only libraries the project uses are seen through a folder that holds
# them alone, CLI11 and nlohmann-json through the small package files next to
# this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The package files of this folder, searched outside the root path above.
foreach(package CLI11 nlohmann_json GTest)
  set(${package}_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-w64)
endforeach()

# One executable that needs no MinGW DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(DROPCALC_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(DROPCALC_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DROPCALC_WINE})
endif()
