# Helpers shared by every folder's CMakeLists.txt.

# Makes FOLDER a layer of the core: TARGET gets an include directory that
# holds FOLDER alone (a link to the source folder), so that its sources can
# include "FOLDER/..." and the headers of the layers it links, and nothing
# else. A file of results/ that includes "data/..." does not compile.
function(dropcalc_layer target folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# Warnings, -Werror on request and the version, for one target that compiles.
function(dropcalc_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # g++ 12 at -O3 warns that "text" + std::string may overlap, a known false
  # alarm from its own headers that would fail a Release build with -Werror.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(DROPCALC_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # The version both programs print with --version.
  target_compile_definitions(${target} PRIVATE DROPCALC_VERSION="${PROJECT_VERSION}")
endfunction()

# Applies dropcalc_target_defaults to every target that compiles, defined in
# DIR or below it, so that a target added in any folder gets them too.
function(dropcalc_defaults_below dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      dropcalc_target_defaults(${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    dropcalc_defaults_below(${subdir})
  endforeach()
endfunction()

# Gives TARGET the header-only libraries named by one header each, as
# <FOLDER/HEADER>: each FOLDER is looked up on the host and linked into an
# include directory that holds these folders alone, so that a cross build (the
# browser's, another system's) sees them and none of the host's other headers.
function(dropcalc_header_libraries target)
  dropcalc_header_folders(root ${ARGN})
  target_include_directories(${target} SYSTEM PRIVATE ${root})
endfunction()

# Links the folders of the headers that follow OUT into that include
# directory, and sets OUT to it.
function(dropcalc_header_folders out)
  set(root ${CMAKE_BINARY_DIR}/header-libraries)
  file(MAKE_DIRECTORY ${root})
  foreach(header IN LISTS ARGN)
    get_filename_component(folder ${header} DIRECTORY)
    find_path(DROPCALC_${folder}_DIR ${header} PATHS /usr/local/include /usr/include
              NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    file(CREATE_LINK ${DROPCALC_${folder}_DIR}/${folder} ${root}/${folder} SYMBOLIC COPY_ON_ERROR)
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()
