# The stretch colours of the window's stretch display on the shared
# million-face grid, and the texture readers on a large picture.
if(TARGET pavlex_stretch)
  include(${CMAKE_CURRENT_LIST_DIR}/mesh.cmake)
  add_executable(pavlex_stretch_bench ${CMAKE_CURRENT_LIST_DIR}/stretch_bench.cpp)
  target_link_libraries(pavlex_stretch_bench PRIVATE pavlex_stretch pavlex_texture pavlex_bench_grid
    benchmark::benchmark)
endif()
