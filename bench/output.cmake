# The layout output on the shared million-face grid: drawing, encoding, and
# both together as "File/Output" runs them.
include(${CMAKE_CURRENT_LIST_DIR}/mesh.cmake)

add_executable(pavlex_output_bench ${CMAKE_CURRENT_SOURCE_DIR}/output_bench.cpp)
target_link_libraries(pavlex_output_bench PRIVATE pavlex_core pavlexhost pavlex_bench_mesh benchmark::benchmark)
target_compile_definitions(pavlex_output_bench PRIVATE PAVLEX_HOST_LIBRARY="$<TARGET_FILE:pavlexhost>")
