# Libraries a Windows build compiles from source, because Debian packages
# them for Linux only. scripts/install-deps.sh --windows fetches the sources.
#
# - tinyxml2: Debian's source package, unpacked with its patches into
#   build-deps/tinyxml2 (PAVLEX_TINYXML2_SOURCE_DIR).
# - GoogleTest: the sources Debian installs in /usr/src/googletest.
# - CLI11: header-only; only its own folder of /usr/include is made visible,
#   since the rest of that folder holds Linux headers.

set(PAVLEX_TINYXML2_SOURCE_DIR ${PROJECT_SOURCE_DIR}/build-deps/tinyxml2
  CACHE PATH "Unpacked Debian source package of tinyxml2")
if(NOT EXISTS ${PAVLEX_TINYXML2_SOURCE_DIR}/tinyxml2.cpp)
  message(FATAL_ERROR "tinyxml2 sources not found in ${PAVLEX_TINYXML2_SOURCE_DIR}; "
    "run scripts/install-deps.sh --windows")
endif()
add_library(pavlex_tinyxml2 STATIC ${PAVLEX_TINYXML2_SOURCE_DIR}/tinyxml2.cpp)
target_include_directories(pavlex_tinyxml2 SYSTEM PUBLIC ${PAVLEX_TINYXML2_SOURCE_DIR})
# Not our code: its warnings are not ours to fix.
target_compile_options(pavlex_tinyxml2 PRIVATE -w)
add_library(tinyxml2::tinyxml2 ALIAS pavlex_tinyxml2)
set(tinyxml2_FOUND TRUE)
set(tinyxml2_DIR ${PAVLEX_TINYXML2_SOURCE_DIR})

set(PAVLEX_CLI11_INCLUDE /usr/include/CLI CACHE PATH "CLI11's header folder")
set(_cli11_root ${CMAKE_BINARY_DIR}/windows-headers)
file(MAKE_DIRECTORY ${_cli11_root})
file(CREATE_LINK ${PAVLEX_CLI11_INCLUDE} ${_cli11_root}/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${_cli11_root})

if(PAVLEX_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest names its targets GTest::gtest and so on itself.
  foreach(library gtest gtest_main gmock gmock_main)
    target_compile_options(${library} PRIVATE -w)
  endforeach()
endif()
