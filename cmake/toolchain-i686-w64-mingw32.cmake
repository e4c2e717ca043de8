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

# 32-bit GCC unwinds exceptions with DWARF tables that each copy of libgcc
# keeps for its own module alone, so an exception thrown in one module and
# caught in another ends the process when both link libgcc statically. The
# host, its programs and the tests throw across their DLLs, so they share
# GCC's runtime DLL (copied beside them into bin/); libstdc++ stays static.
# The plug-in, which throws nothing out of itself, links everything in
# (PAVLEX_PRODUCT_LINK_OPTIONS) and needs system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libstdc++ -shared-libgcc")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libstdc++ -shared-libgcc")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libstdc++ -shared-libgcc")
set(PAVLEX_PRODUCT_LINK_OPTIONS -static)
set(PAVLEX_MINGW_RUNTIME_DLLS libgcc_s_dw2-1.dll libwinpthread-1.dll)

# Tests run under Wine when CTest runs them.
find_program(PAVLEX_WINE NAMES wine)
if(PAVLEX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PAVLEX_WINE})
endif()
