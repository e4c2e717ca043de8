# UV islands, the select tools built on them, and Sew and Gather on a large
# object, run through the real host.
add_executable(pavlex_islands_bench ${CMAKE_CURRENT_SOURCE_DIR}/islands_bench.cpp)
target_link_libraries(pavlex_islands_bench PRIVATE pavlex_core pavlexhost benchmark::benchmark)
target_compile_definitions(pavlex_islands_bench PRIVATE PAVLEX_HOST_LIBRARY="$<TARGET_FILE:pavlexhost>")
