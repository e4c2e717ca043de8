# The memory and lock slot containers alone, against the library's unordered
# containers, with as many keys as a Store or a Lock of the million-face grid.
add_executable(pavlex_slot_table_bench ${CMAKE_CURRENT_SOURCE_DIR}/slot_table_bench.cpp)
target_link_libraries(pavlex_slot_table_bench PRIVATE pavlex_state benchmark::benchmark)
