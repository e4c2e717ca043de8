# Invert, Turn, Snap, Equal Alloc and Symmetrize on a large object through the
# real host, and the mirror-partner search alone.
add_executable(pavlex_transform_bench ${CMAKE_CURRENT_SOURCE_DIR}/transform_bench.cpp)
target_link_libraries(pavlex_transform_bench PRIVATE pavlex_core pavlexhost benchmark::benchmark)
target_compile_definitions(pavlex_transform_bench PRIVATE PAVLEX_HOST_LIBRARY="$<TARGET_FILE:pavlexhost>")
