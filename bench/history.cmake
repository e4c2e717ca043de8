# The undo history's bookkeeping around real presses on the shared
# million-face grid, with the history on and off.
include(${CMAKE_CURRENT_LIST_DIR}/mesh.cmake)

add_executable(pavlex_history_bench ${CMAKE_CURRENT_SOURCE_DIR}/history_bench.cpp)
target_link_libraries(pavlex_history_bench PRIVATE pavlexhost pavlex_bench_mesh benchmark::benchmark)
target_compile_definitions(pavlex_history_bench PRIVATE PAVLEX_PLUGIN_LIBRARY="$<TARGET_FILE:pavlex>")
add_dependencies(pavlex_history_bench pavlex)
