# Removes every file `cmake --install LANDSCAPE_BUILD_DIR` lays out, under
# the DESTDIR in the environment (empty: the prefix itself). The list comes
# from the install rules themselves: the build is installed into a scratch
# folder and each file found there is removed from the real place. Folders
# stay, as others may own them too (Debian's base-files ships
# /usr/local/games). A relative DESTDIR is taken from the working
# directory, as `cmake --install` takes it.
#   cmake -DLANDSCAPE_BUILD_DIR=build -P cmake/uninstall.cmake
if(NOT LANDSCAPE_BUILD_DIR)
  message(FATAL_ERROR "usage: cmake -DLANDSCAPE_BUILD_DIR=<build dir> -P cmake/uninstall.cmake")
endif()
# Absolute paths: file(GLOB_RECURSE ... RELATIVE) needs one.
set(_destdir "$ENV{DESTDIR}")
if(_destdir)
  get_filename_component(_destdir "${_destdir}" ABSOLUTE)
endif()
get_filename_component(_scratch "${LANDSCAPE_BUILD_DIR}/uninstall-list" ABSOLUTE)
file(REMOVE_RECURSE "${_scratch}")
set(ENV{DESTDIR} "${_scratch}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${LANDSCAPE_BUILD_DIR}" OUTPUT_QUIET RESULT_VARIABLE _status)
set(ENV{DESTDIR} "${_destdir}")
if(NOT _status EQUAL 0)
  message(FATAL_ERROR "could not list what ${LANDSCAPE_BUILD_DIR} installs")
endif()
file(GLOB_RECURSE _files LIST_DIRECTORIES false RELATIVE "${_scratch}" "${_scratch}/*")
file(REMOVE_RECURSE "${_scratch}")
foreach(_file ${_files})
  set(_installed "${_destdir}/${_file}")
  if(EXISTS "${_installed}" OR IS_SYMLINK "${_installed}")
    message(STATUS "Removing: ${_installed}")
    file(REMOVE "${_installed}")
  endif()
endforeach()
