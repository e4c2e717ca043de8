add_executable(pavlex-example ${CMAKE_CURRENT_SOURCE_DIR}/pavlex_example.cpp)
target_link_libraries(pavlex-example PRIVATE pavlexhost)
# The example loads the plug-in at run time from beside the host library.
add_dependencies(pavlex-example pavlex)

if(PAVLEX_BUILD_TESTS)
  add_test(NAME example_uv_to_object
    COMMAND pavlex-example ${PAVLEX_TEST_PATH_PREFIX}${CMAKE_CURRENT_SOURCE_DIR}/data/two_islands.obj)
  set_tests_properties(example_uv_to_object PROPERTIES
    PASS_REGULAR_EXPRESSION "selected vertices: 0 \\(0 0 0\\) 1 \\(1 0 0\\) 2 \\(1 1 0\\) 3 \\(0 1 0\\)")
endif()
