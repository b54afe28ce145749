# Cross build for 64-bit Windows with Debian's mingw-w64. The POSIX thread model is the
# one whose C++ runtime has std::thread and std::mutex, which the engine and GoogleTest use.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KX_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KX_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KX_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KX_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KX_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime goes into each program, so it needs no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest runs the test programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)

# Release programs go out without their symbols.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
