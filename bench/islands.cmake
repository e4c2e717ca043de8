# UV islands, the select tools built on them, and Sew and Gather on the
# shared benchmark grid, run through the real host.
include(${CMAKE_CURRENT_LIST_DIR}/mesh.cmake)

add_executable(pavlex_islands_bench ${CMAKE_CURRENT_SOURCE_DIR}/islands_bench.cpp)
target_link_libraries(pavlex_islands_bench PRIVATE pavlex_bench_grid benchmark::benchmark)
