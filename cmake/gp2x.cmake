# Toolchain file for building the program for the GP2X itself:
#
#   cmake -S . -B build-gp2x -DCMAKE_TOOLCHAIN_FILE=cmake/gp2x.cmake \
#         -DGP2X_TOOLCHAIN_PREFIX=/opt/open2x/gcc-4.1.1-glibc-2.3.6/bin/arm-open2x-linux- \
#         -DGP2X_SDL_CONFIG=/opt/open2x/gcc-4.1.1-glibc-2.3.6/bin/sdl-config
#   cmake --build build-gp2x -j2
#
# gives build-gp2x/landscape.gpe, with landscape.png (its 32 x 32 icon) and
# landscape.ini beside it. docs/GP2X.md names the community's toolchains
# and their prefixes. GP2X_SYSROOT passes --sysroot, which GCC 4.0 does not
# know: leave it empty there, and the compiler uses the target headers and
# libraries it was built with. LANDSCAPE_WERROR=OFF keeps warnings of a
# compiler this project has not run from stopping the build.
#
# The console has an ARM920T (ARMv4T, no FPU, no divide instruction) and
# runs its own Linux and SDL 1.2 port; the program is linked statically
# against the toolchain's C/C++ runtime and SDL so it depends on nothing
# installed on the console. Turning on LANDSCAPE_GP2X maps the register
# window and loads the display gamma at start-up (hw/).

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(GP2X_TOOLCHAIN_PREFIX "" CACHE STRING
    "Path and prefix of the GP2X cross tools, e.g. /opt/open2x/gcc-4.1.1-glibc-2.3.6/bin/arm-open2x-linux- for <prefix>g++")
set(GP2X_SYSROOT "" CACHE PATH "Root of the GP2X target's headers and libraries, passed as --sysroot (empty: the compiler's own)")
set(GP2X_SDL_CONFIG "" CACHE FILEPATH "The target SDL's sdl-config (empty: looked up in the sysroot)")
set(GP2X_CPU_FLAGS "-march=armv4t -mtune=arm920t -mfloat-abi=soft"
    CACHE STRING "Code generation flags for the console's processor")
# try_compile projects read this file again; give them the same choices.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES GP2X_TOOLCHAIN_PREFIX GP2X_SYSROOT GP2X_CPU_FLAGS)

# The program is C++98: the console community's GCC 4.0-4.2 toolchains
# (open2x and its relatives) build it. Flags that those compilers lack, such
# as -ffp-contract=off, are added only after a check (CMakeLists.txt).
if(NOT GP2X_TOOLCHAIN_PREFIX)
  message(FATAL_ERROR "Set GP2X_TOOLCHAIN_PREFIX to your GP2X toolchain's tool prefix, "
                      "e.g. -DGP2X_TOOLCHAIN_PREFIX=/opt/open2x/gcc-4.1.1-glibc-2.3.6/bin/arm-open2x-linux- (docs/GP2X.md)")
endif()
if(IS_ABSOLUTE "${GP2X_TOOLCHAIN_PREFIX}" AND NOT EXISTS "${GP2X_TOOLCHAIN_PREFIX}g++")
  message(FATAL_ERROR "No GP2X C++ compiler at ${GP2X_TOOLCHAIN_PREFIX}g++: "
                      "set GP2X_TOOLCHAIN_PREFIX to your toolchain's bin directory and tool prefix")
endif()
set(CMAKE_C_COMPILER ${GP2X_TOOLCHAIN_PREFIX}gcc)
set(CMAKE_CXX_COMPILER ${GP2X_TOOLCHAIN_PREFIX}g++)

set(CMAKE_C_FLAGS_INIT "${GP2X_CPU_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${GP2X_CPU_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

if(GP2X_SYSROOT)
  set(CMAKE_SYSROOT ${GP2X_SYSROOT})
  set(CMAKE_FIND_ROOT_PATH ${GP2X_SYSROOT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The platform switch (app/platform_gp2x.cpp). The unit tests are host and qemu
# material (make test, make check-arm), not built for the console.
set(LANDSCAPE_GP2X ON CACHE BOOL "Build for the GP2X handheld" FORCE)
set(LANDSCAPE_TESTS OFF CACHE BOOL "Build the tests")
