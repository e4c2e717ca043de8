# Cross-build for i686 Windows with Debian's mingw-w64. The -posix thread
# variant is the one with std::mutex and std::thread; the default -win32
# variant has neither, and GoogleTest needs them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(PAVLEX_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${PAVLEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAVLEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PAVLEX_MINGW_TRIPLE}-windres)

# UV identity compares floats that must be rounded to float after every
# step; the x87 unit keeps excess precision, SSE2 does not.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

set(CMAKE_FIND_ROOT_PATH /usr/${PAVLEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The MinGW runtime (libgcc, libstdc++, winpthread) is linked in, so the
# DLLs and programs need nothing beside them but system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Tests run under Wine when CTest runs them.
find_program(PAVLEX_WINE NAMES wine)
if(PAVLEX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PAVLEX_WINE})
endif()
