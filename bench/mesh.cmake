# The grid mesh generator that tests and benchmarks share, and a command
# that writes one grid to a file. Included from bench/ and from the test
# folders that use it, hence the guard.
include_guard(GLOBAL)

add_library(pavlex_bench_mesh STATIC ${CMAKE_CURRENT_LIST_DIR}/grid_mesh.cpp)
target_include_directories(pavlex_bench_mesh PUBLIC ${PROJECT_SOURCE_DIR})

add_executable(pavlex-make-grid ${CMAKE_CURRENT_LIST_DIR}/make_grid.cpp)
target_link_libraries(pavlex-make-grid PRIVATE pavlex_bench_mesh)

# The shared million-face benchmark document, loaded through the real host.
add_library(pavlex_bench_grid STATIC ${CMAKE_CURRENT_LIST_DIR}/bench_grid.cpp)
target_link_libraries(pavlex_bench_grid PUBLIC pavlex_core pavlexhost pavlex_bench_mesh)
target_compile_definitions(pavlex_bench_grid PRIVATE PAVLEX_HOST_LIBRARY="$<TARGET_FILE:pavlexhost>")
