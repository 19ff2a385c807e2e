# Tests of the tool that generates the landscape data. Included from
# tests/CMakeLists.txt after find_package(GTest) and include(GoogleTest).

get_filename_component(LANDSCAPE_TESTS_REPO_DIR "${CMAKE_CURRENT_LIST_DIR}" DIRECTORY)

# The generator runs on the build host only. landscape_tools_support is
# defined by landscape_import.cmake, included whenever the host tools are.
if(TARGET make_landscape)
  add_executable(landscape_generator_tests ${CMAKE_CURRENT_LIST_DIR}/landscape_generator_test.cpp)
  landscape_host_target(landscape_generator_tests)
  target_link_libraries(landscape_generator_tests PRIVATE landscape_tools_support landscape_tools landscape_core
                        GTest::gtest_main)
  target_compile_definitions(landscape_generator_tests PRIVATE
    "MAKE_LANDSCAPE_PATH=\"$<TARGET_FILE:make_landscape>\""
    "LANDSCAPE_DATA_SOURCE=\"${LANDSCAPE_TESTS_REPO_DIR}/assets/landscape_data.cpp\""
  )
  add_dependencies(landscape_generator_tests make_landscape)
  gtest_discover_tests(landscape_generator_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS unit)
endif()
