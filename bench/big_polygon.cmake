# One polygon of many corners (the cap of a finely divided cylinder) through
# every kind of tool, Regularize above all, through the real host.
include(${CMAKE_CURRENT_LIST_DIR}/mesh.cmake)

add_executable(pavlex_big_polygon_bench ${CMAKE_CURRENT_SOURCE_DIR}/big_polygon_bench.cpp)
target_link_libraries(pavlex_big_polygon_bench PRIVATE pavlex_bench_grid benchmark::benchmark)
target_compile_definitions(pavlex_big_polygon_bench PRIVATE PAVLEX_HOST_LIBRARY="$<TARGET_FILE:pavlexhost>")
