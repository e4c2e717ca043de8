# Selection transfer tools on a large object, run through the real host.
add_executable(pavlex_select_bench ${CMAKE_CURRENT_SOURCE_DIR}/selection_transfer_bench.cpp)
target_link_libraries(pavlex_select_bench PRIVATE pavlex_core pavlexhost benchmark::benchmark)
target_compile_definitions(pavlex_select_bench PRIVATE PAVLEX_HOST_LIBRARY="$<TARGET_FILE:pavlexhost>")
