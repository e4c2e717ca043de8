# Every button of the Pavlex window pressed end to end through the host
# driver on the million-face grid, with OBJ open and save: one table.
include(${CMAKE_CURRENT_LIST_DIR}/mesh.cmake)

add_executable(pavlex_press_bench ${CMAKE_CURRENT_SOURCE_DIR}/press_bench.cpp)
target_link_libraries(pavlex_press_bench PRIVATE pavlexhost pavlex_bench_mesh)
target_compile_definitions(pavlex_press_bench PRIVATE PAVLEX_PLUGIN_LIBRARY="$<TARGET_FILE:pavlex>")
add_dependencies(pavlex_press_bench pavlex)

# --calls counts the host functions each press calls, through the copy of
# them built with the call record.
if(TARGET pavlexhost_calltrace)
  target_compile_definitions(pavlex_press_bench PRIVATE
    PAVLEX_TRACED_HOST_LIBRARY="$<TARGET_FILE:pavlexhost_calltrace>")
  target_link_libraries(pavlex_press_bench PRIVATE ${CMAKE_DL_LIBS})
  add_dependencies(pavlex_press_bench pavlexhost_calltrace)
endif()
