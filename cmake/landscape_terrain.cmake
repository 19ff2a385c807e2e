# Which landscape the program compiles in. Included from the top-level
# CMakeLists.txt before landscape_core is defined; sets
# LANDSCAPE_DATA_SOURCE, the data source file landscape_core compiles, and
# LANDSCAPE_CUSTOM_TERRAIN (ON when it is not the committed one).
#
#   LANDSCAPE_TERRAIN empty (the default): assets/landscape_data.cpp.
#   LANDSCAPE_TERRAIN=DIR: DIR/height.png and DIR/color.png, turned into
#     ${CMAKE_BINARY_DIR}/generated/landscape_data.cpp by the host tool
#     import_landscape at build time, and again whenever either PNG or the
#     tool changes. See docs/CUSTOM_LANDSCAPE.md.
#
# When cross-compiling (or building for the GP2X) the host tools are not part
# of the build; set LANDSCAPE_IMPORT_TOOL to an import_landscape built for
# the host (e.g. build/tools/import_landscape from a desktop build).

set(LANDSCAPE_TERRAIN "" CACHE PATH
    "Directory with height.png and color.png to compile in instead of the built-in landscape (empty: built-in)")
set(LANDSCAPE_IMPORT_TOOL "" CACHE FILEPATH
    "Host import_landscape to use for LANDSCAPE_TERRAIN when the tools are not built (cross builds)")

if(LANDSCAPE_TERRAIN STREQUAL "")
  set(LANDSCAPE_DATA_SOURCE "${CMAKE_CURRENT_SOURCE_DIR}/assets/landscape_data.cpp")
  set(LANDSCAPE_CUSTOM_TERRAIN OFF)
  return()
endif()

get_filename_component(_terrain_dir "${LANDSCAPE_TERRAIN}" ABSOLUTE BASE_DIR "${CMAKE_BINARY_DIR}")
if(NOT IS_DIRECTORY "${_terrain_dir}")
  message(FATAL_ERROR "LANDSCAPE_TERRAIN: ${_terrain_dir} is not a directory "
                      "(it must hold height.png and color.png; see docs/CUSTOM_LANDSCAPE.md)")
endif()
foreach(_terrain_file height.png color.png)
  if(NOT EXISTS "${_terrain_dir}/${_terrain_file}")
    message(FATAL_ERROR "LANDSCAPE_TERRAIN: ${_terrain_dir}/${_terrain_file} not found "
                        "(the directory must hold height.png and color.png; see docs/CUSTOM_LANDSCAPE.md)")
  endif()
endforeach()

if(LANDSCAPE_GP2X OR CMAKE_CROSSCOMPILING)
  if(LANDSCAPE_IMPORT_TOOL STREQUAL "")
    message(FATAL_ERROR "LANDSCAPE_TERRAIN is set, but this build cannot build the host tool that "
                        "imports it (cross-compiling or LANDSCAPE_GP2X). Build import_landscape on "
                        "the host first (e.g. `cmake --build build --target import_landscape`) and "
                        "pass -DLANDSCAPE_IMPORT_TOOL=/path/to/build/tools/import_landscape.")
  endif()
  if(NOT EXISTS "${LANDSCAPE_IMPORT_TOOL}" OR IS_DIRECTORY "${LANDSCAPE_IMPORT_TOOL}")
    message(FATAL_ERROR "LANDSCAPE_IMPORT_TOOL: ${LANDSCAPE_IMPORT_TOOL} is not a file")
  endif()
  set(_import_command "${LANDSCAPE_IMPORT_TOOL}")
  set(_import_depends "${LANDSCAPE_IMPORT_TOOL}")
else()
  # The tools directory defines this target later; CMake resolves the name
  # when it generates the build, and builds the tool before running it.
  set(_import_command import_landscape)
  set(_import_depends import_landscape)
endif()

set(LANDSCAPE_DATA_SOURCE "${CMAKE_BINARY_DIR}/generated/landscape_data.cpp")
set(LANDSCAPE_CUSTOM_TERRAIN ON)
add_custom_command(
  OUTPUT "${LANDSCAPE_DATA_SOURCE}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/generated"
  COMMAND ${_import_command} "${_terrain_dir}" "${LANDSCAPE_DATA_SOURCE}"
  DEPENDS "${_terrain_dir}/height.png" "${_terrain_dir}/color.png" ${_import_depends}
  COMMENT "Importing the landscape from ${_terrain_dir}"
  VERBATIM
)
message(STATUS "Landscape: ${_terrain_dir}")
