# Cross-compiles for Windows x64 with the POSIX-threads mingw-w64 compilers
# (the win32-threads ones have no std::thread, std::mutex or std::future).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_AR ${MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_PREFIX}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${MINGW_PREFIX}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP ${MINGW_PREFIX}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every DLL and EXE we ship must import only Windows system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and tools run under Wine in a prefix inside the build tree, never ~/.wine.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;${CMAKE_BINARY_DIR}/wineprefix")
