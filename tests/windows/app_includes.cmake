# Lists the includes of every source of FOLDER and fails on a header that only
# POSIX systems have, or on a look into /proc, outside the file GUARDED: the
# rest must build against the Windows libraries too.
#
#   cmake -DFOLDER=app -DGUARDED=platform.cpp -P app_includes.cmake
cmake_minimum_required(VERSION 3.22)
get_filename_component(FOLDER ${FOLDER} ABSOLUTE)
set(posix_only
    "^(unistd|fcntl|dirent|dlfcn|pwd|grp|poll|pthread|spawn|termios|syslog|glob|libgen|"
    "sched|semaphore|signal|sys/[a-z_]+|linux/[a-z_]+|netinet/[a-z_]+|"
    "arpa/[a-z_]+|X11/[A-Za-z_]+)\\.h$")
string(JOIN "" posix_only ${posix_only})
file(GLOB_RECURSE sources RELATIVE ${FOLDER} ${FOLDER}/*.cpp ${FOLDER}/*.h)
list(SORT sources)
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS ${FOLDER}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<|/proc/")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]*)>.*" "\\1" header "${line}")
    if(NOT source STREQUAL GUARDED AND (header MATCHES "${posix_only}" OR line MATCHES "/proc/"))
      string(STRIP "${line}" line)
      list(APPEND found "${source}: ${line}")
    endif()
  endforeach()
endforeach()
list(LENGTH sources count)
if(found)
  list(JOIN found "\n" found)
  message(FATAL_ERROR "POSIX-only outside ${GUARDED}:\n${found}")
endif()
message(STATUS "${count} sources, nothing POSIX-only outside ${GUARDED}")
