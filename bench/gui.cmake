# The window on the million-face grid: pan/zoom frames and the time from a
# press of Invert/H to the next presented frame. Needs an X display (run it
# under xvfb-run -a, as bench/run-gui-bench.sh does).
if(TARGET pavlex_gui)
  add_executable(pavlex_gui_bench ${CMAKE_CURRENT_LIST_DIR}/gui_bench.cpp)
  target_link_libraries(pavlex_gui_bench PRIVATE pavlex_gui pavlex_commands pavlexhost pavlex_bench_mesh
    benchmark::benchmark)
  target_compile_definitions(pavlex_gui_bench PRIVATE PAVLEX_PLUGIN_LIBRARY="$<TARGET_FILE:pavlex>")
  add_dependencies(pavlex_gui_bench pavlex)
endif()
