# The folder that holds, as links, the host's header-only libraries the cross
# build uses and nothing else, so that no host header can be picked up.
set(DROPCALC_HEADER_ONLY_INCLUDE ${CMAKE_BINARY_DIR}/header-only)

# Links the host folder /usr/include/NAME into that folder.
function(dropcalc_header_only_folder name)
  file(MAKE_DIRECTORY ${DROPCALC_HEADER_ONLY_INCLUDE})
  if(NOT EXISTS ${DROPCALC_HEADER_ONLY_INCLUDE}/${name})
    file(CREATE_LINK /usr/include/${name} ${DROPCALC_HEADER_ONLY_INCLUDE}/${name} SYMBOLIC)
  endif()
endfunction()

# An imported interface target TARGET whose headers are the host folders
# FOLDERS, with the extra compile definitions that follow DEFINITIONS.
function(dropcalc_header_only_target target)
  cmake_parse_arguments(arg "" "" "FOLDERS;DEFINITIONS" ${ARGN})
  if(TARGET ${target})
    return()
  endif()
  foreach(folder IN LISTS arg_FOLDERS)
    dropcalc_header_only_folder(${folder})
  endforeach()
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${DROPCALC_HEADER_ONLY_INCLUDE}
    INTERFACE_COMPILE_DEFINITIONS "${arg_DEFINITIONS}")
endfunction()
