# Toolchain file for the port to today's aarch64 Linux handhelds
# (PortMaster; docs/HANDHELD.md): Debian 12's aarch64 cross compiler
# (crossbuild-essential-arm64) against an older C library, so that the
# program loads on the devices' systems (glibc 2.30 and newer). What
# tools/make-port.sh does:
#
#   tools/port-sysroot.sh build-port build      # -> build-port/build
#   cmake -S . -B build-port/program -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-handheld.cmake \
#         -DHANDHELD_SYSROOT=$PWD/build-port/build
#   cmake --build build-port/program --target landscape
#
# The sysroot holds Debian 11's glibc 2.31 and Debian 12's sdl12-compat.
# With --sysroot alone the cross compiler still searches its own glibc 2.36
# first (its headers in /usr/aarch64-linux-gnu/include, its Scrt1.o and
# libc.so in /usr/aarch64-linux-gnu/lib), and the program would need
# GLIBC_2.34 and newer: so the standard include directories are replaced by
# the compiler's own C++ and built-in headers followed by the sysroot's, and
# -B puts the sysroot's start files and libraries ahead of the compiler's.
# libstdc++ and libgcc are linked in statically; the device gives the C
# library, the maths library and (through the bundled sdl12-compat) SDL 2.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(HANDHELD_CROSS_PREFIX aarch64-linux-gnu- CACHE STRING "Prefix of the aarch64 cross tools")
set(HANDHELD_SYSROOT "" CACHE PATH "Debian 11 arm64 C library with sdl12-compat (tools/port-sysroot.sh DIR build)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HANDHELD_CROSS_PREFIX HANDHELD_SYSROOT)
if(NOT HANDHELD_SYSROOT OR NOT EXISTS "${HANDHELD_SYSROOT}/usr/include/stdio.h")
  message(FATAL_ERROR "Set HANDHELD_SYSROOT to a root made by tools/port-sysroot.sh DIR build")
endif()
set(CMAKE_C_COMPILER ${HANDHELD_CROSS_PREFIX}gcc)
set(CMAKE_CXX_COMPILER ${HANDHELD_CROSS_PREFIX}g++)
set(CMAKE_SYSROOT ${HANDHELD_SYSROOT})

# The compiler's own header directories: its libstdc++ headers (which wrap
# the C headers) and its built-in ones (stddef.h, stdarg.h, ...).
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=include
                OUTPUT_VARIABLE _gcc_include OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpversion
                OUTPUT_VARIABLE _gcc_version OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE "-$" "" _triplet "${HANDHELD_CROSS_PREFIX}")
get_filename_component(_cxx_include "${_gcc_include}/../../../../../${_triplet}/include/c++/${_gcc_version}" ABSOLUTE)
if(NOT EXISTS "${_cxx_include}/cstdio")
  message(FATAL_ERROR "No C++ headers of ${CMAKE_CXX_COMPILER} at ${_cxx_include}: install crossbuild-essential-arm64")
endif()
set(_includes "-nostdinc")
foreach(_dir ${_cxx_include} ${_cxx_include}/${_triplet} ${_cxx_include}/backward ${_gcc_include}
             ${HANDHELD_SYSROOT}/usr/include/${_triplet} ${HANDHELD_SYSROOT}/usr/include)
  string(APPEND _includes " -isystem \"${_dir}\"")
endforeach()
set(CMAKE_C_FLAGS_INIT "${_includes}")
set(CMAKE_CXX_FLAGS_INIT "${_includes}")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "\"-B${HANDHELD_SYSROOT}/usr/lib/${_triplet}/\" -static-libstdc++ -static-libgcc")

set(CMAKE_FIND_ROOT_PATH ${HANDHELD_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The handheld platform file (fullscreen at the display's resolution, paced
# to 60 passes a second, no joystick: gptokeyb turns the pad into keys). The
# tests and benchmarks are host and qemu material (make check-port).
set(LANDSCAPE_HANDHELD ON CACHE BOOL "Build for aarch64 Linux handhelds" FORCE)
set(LANDSCAPE_TESTS OFF CACHE BOOL "Build the tests")
set(LANDSCAPE_BENCH OFF CACHE BOOL "Build the benchmarks")
set(LANDSCAPE_TOOLS OFF CACHE BOOL "Build the host tools")
