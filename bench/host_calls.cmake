# What each host call the per-corner tools make costs at least: the calls
# alone, through the plug-in's function table, over the million-face grid.
include(${CMAKE_CURRENT_LIST_DIR}/mesh.cmake)

add_executable(pavlex_host_calls_bench ${CMAKE_CURRENT_SOURCE_DIR}/host_calls_bench.cpp)
target_link_libraries(pavlex_host_calls_bench PRIVATE pavlex_bench_grid benchmark::benchmark)
