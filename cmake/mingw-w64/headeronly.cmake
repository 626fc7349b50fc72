# An imported interface target TARGET for a header-only library of the host,
# named by one of its headers, seen through the include directory that holds
# the project's header-only libraries alone.
function(dropcalc_header_only_target target header)
  if(NOT TARGET ${target})
    dropcalc_header_folders(root ${header})
    add_library(${target} INTERFACE IMPORTED)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
  endif()
endfunction()
