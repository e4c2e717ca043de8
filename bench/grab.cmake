# "F", "G", "R" and "Regularize" on the shared benchmark grid through the
# real host, and the polygon unfold alone.
include(${CMAKE_CURRENT_LIST_DIR}/mesh.cmake)

add_executable(pavlex_grab_bench ${CMAKE_CURRENT_SOURCE_DIR}/grab_bench.cpp)
target_link_libraries(pavlex_grab_bench PRIVATE pavlex_bench_grid benchmark::benchmark)
