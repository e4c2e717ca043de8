# UV memory and locks, and the Numerical dialog's Rotate, Move and Scale, on
# the shared benchmark grid through the real host.
include(${CMAKE_CURRENT_LIST_DIR}/mesh.cmake)

add_executable(pavlex_memory_bench ${CMAKE_CURRENT_SOURCE_DIR}/memory_bench.cpp)
target_link_libraries(pavlex_memory_bench PRIVATE pavlex_bench_grid benchmark::benchmark)
