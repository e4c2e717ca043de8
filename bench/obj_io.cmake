# Loading and saving a 1,000,000-face OBJ through the stand-in host.
add_executable(obj_io_bench ${CMAKE_CURRENT_SOURCE_DIR}/obj_io_bench.cpp)
target_link_libraries(obj_io_bench PRIVATE pavlexhost pavlex_bench_mesh benchmark::benchmark)
