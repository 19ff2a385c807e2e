# Cross-compiling toolchain file for Debian's armel compilers
# (arm-linux-gnueabi-gcc/g++, package crossbuild-essential-armel), used to
# build the program and its tests for the GP2X's processor class and to run
# them under qemu-arm. The SDL-free core alone, linked statically:
#
#   cmake -S . -B build-arm -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabi.cmake \
#         -DLANDSCAPE_CORE_ONLY=ON
#
# The whole program, linked dynamically against Debian's armel SDL 1.2 and
# runtime unpacked into a sysroot by tools/arm-sysroot.sh (what
# tools/check-arm.sh does):
#
#   cmake -S . -B build-arm -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabi.cmake \
#         -DARM_SYSROOT=$PWD/build-arm/sysroot
#
# Debian's armel compiler targets ARMv5TE by default; the console has an
# ARM920T (ARMv4T, no FPU, no divide instruction), so the architecture is
# forced down to ARMv4T in ARM state with software floating point. Debian's
# own armel runtime (glibc, libstdc++, libgcc) is built for ARMv5TE, so a
# linked program still contains ARMv5TE library code; everything compiled
# from this project is ARMv4T (tools/check-arm.sh checks both).

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(ARM_CROSS_PREFIX arm-linux-gnueabi- CACHE STRING "Prefix of the ARM cross tools")
set(ARM_QEMU_CPU arm946 CACHE STRING "Processor emulated by qemu-arm when running the tests")
set(ARM_SYSROOT "" CACHE PATH
    "Debian armel runtime with SDL 1.2 (tools/arm-sysroot.sh) to link against dynamically; empty: link statically")
# try_compile projects read this file again; give them the same choices.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ARM_CROSS_PREFIX ARM_QEMU_CPU ARM_SYSROOT)
set(CMAKE_C_COMPILER ${ARM_CROSS_PREFIX}gcc)
set(CMAKE_CXX_COMPILER ${ARM_CROSS_PREFIX}g++)

set(ARM_ARCH_FLAGS "-march=armv4t -mtune=arm920t -marm -mfloat-abi=soft")
# Position-dependent code, as on the console, whose programs are not PIE.
set(CMAKE_C_FLAGS_INIT "${ARM_ARCH_FLAGS} -fno-pie")
set(CMAKE_CXX_FLAGS_INIT "${ARM_ARCH_FLAGS} -fno-pie")
string(REGEX REPLACE "-$" "" ARM_TRIPLET "${ARM_CROSS_PREFIX}")
if(ARM_SYSROOT)
  # The C and C++ runtime are the cross compiler's own; SDL and the
  # libraries it loads come from the sysroot, where the linker also resolves
  # their own dependencies (PulseAudio keeps its private library in a
  # directory of its own). qemu-arm loads the same from there at run time.
  set(_arm_libraries ${ARM_SYSROOT}/usr/lib/${ARM_TRIPLET})
  set(CMAKE_EXE_LINKER_FLAGS_INIT
      "-no-pie -Wl,-rpath-link,${_arm_libraries}:${_arm_libraries}/pulseaudio")
  set(ARM_QEMU_LIBRARY_ROOT -L ${ARM_SYSROOT})
else()
  # Static, so that qemu-arm needs no ARM sysroot to run the programs.
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -no-pie")
  set(ARM_QEMU_LIBRARY_ROOT)
endif()

# Only the cross compiler's own files and the sysroot are target files.
set(CMAKE_FIND_ROOT_PATH /usr/${ARM_TRIPLET} ${ARM_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest and gtest_discover_tests run the ARM programs through qemu-arm. The
# emulated processor is an ARM946 (ARMv5TE, no VFP): the closest to the
# console's ARM920T that Debian's ARMv5TE runtime starts on, so a divide or VFP
# instruction anywhere in a test program stops it with SIGILL rather than
# being emulated silently. qemu's ARMv4T core (ti925t) cannot run that
# runtime: glibc's start-up code already uses clz, an ARMv5 instruction.
find_program(ARM_QEMU NAMES qemu-arm qemu-arm-static)
if(ARM_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ARM_QEMU} -cpu ${ARM_QEMU_CPU} ${ARM_QEMU_LIBRARY_ROOT})
else()
  message(WARNING "qemu-arm not found (package qemu-user): the ARM tests cannot run")
endif()

# There is no ARM build of GoogleTest to find, so the tests build their own
# from the googletest sources with this toolchain (cmake/arm-gtest.cmake,
# read at the end of the project's project() call).
set(CMAKE_PROJECT_landscape_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/arm-gtest.cmake)
