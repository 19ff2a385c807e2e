# GoogleTest built from source with the cross compiler, for the ARM test
# programs. Provides the GTest::gtest and GTest::gtest_main targets that
# tests/CMakeLists.txt otherwise gets from find_package(GTest).
# Read by cmake/arm-linux-gnueabi.cmake's CMAKE_PROJECT_landscape_INCLUDE.

if(TARGET GTest::gtest_main OR (DEFINED LANDSCAPE_TESTS AND NOT LANDSCAPE_TESTS))
  return()
endif()

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${GTEST_SOURCE_DIR}/googletest/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${GTEST_SOURCE_DIR}: install the googletest package")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
