# Tests of the landscape import and export tools, and of a build that
# compiles in a custom landscape. Included from tests/CMakeLists.txt after
# find_package(GTest) and include(GoogleTest), when the host tools are built.

find_package(PNG REQUIRED)
get_filename_component(LANDSCAPE_IMPORT_REPO_DIR "${CMAKE_CURRENT_LIST_DIR}" DIRECTORY)

# Helpers for every test of the host tools (the generator's too).
add_library(landscape_tools_support STATIC ${CMAKE_CURRENT_LIST_DIR}/landscape_tools_support.cpp)
landscape_host_target(landscape_tools_support)
target_link_libraries(landscape_tools_support PUBLIC PNG::PNG)

add_executable(landscape_import_tests ${CMAKE_CURRENT_LIST_DIR}/landscape_import_test.cpp)
landscape_host_target(landscape_import_tests)
target_link_libraries(landscape_import_tests PRIVATE landscape_tools_support landscape_tools landscape_core
                      GTest::gtest_main)
target_compile_definitions(landscape_import_tests PRIVATE
  "IMPORT_LANDSCAPE_PATH=\"$<TARGET_FILE:import_landscape>\""
  "EXPORT_LANDSCAPE_PATH=\"$<TARGET_FILE:export_landscape>\""
)
add_dependencies(landscape_import_tests import_landscape export_landscape)
# The timeout ends a tool that hangs (on a FIFO, say) instead of the test run.
gtest_discover_tests(landscape_import_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS unit TIMEOUT 120)

# Copies the checkout, builds the program with a custom landscape through
# the Makefile there, and checks the frames its render_frame draws. A build
# rather than a unit test, so it runs once in `make test` and not again in
# the sanitizer pass.
find_program(LANDSCAPE_MAKE_COMMAND NAMES make gmake)
add_executable(custom_landscape_build_test
  ${CMAKE_CURRENT_LIST_DIR}/custom_landscape_build_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reference_passes.cpp
)
landscape_host_target(custom_landscape_build_test)
target_link_libraries(custom_landscape_build_test PRIVATE landscape_tools_support landscape_core GTest::gtest_main)
target_compile_definitions(custom_landscape_build_test PRIVATE
  "LANDSCAPE_SOURCE_DIR=\"${LANDSCAPE_IMPORT_REPO_DIR}\""
  "LANDSCAPE_CMAKE_COMMAND=\"${CMAKE_COMMAND}\""
  "LANDSCAPE_MAKE_COMMAND=\"${LANDSCAPE_MAKE_COMMAND}\""
)
add_test(NAME custom_landscape_build COMMAND custom_landscape_build_test)
set_tests_properties(custom_landscape_build PROPERTIES LABELS build TIMEOUT 300)
