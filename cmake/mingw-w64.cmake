# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix-threads
# compilers, which std::thread needs). Used by scripts/test --windows:
#   cmake -S . -B out-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Qt stays out of this build: only the engines, the bridge DLL, torvane-cli
# and their GoogleTest suites are built. Tests run through wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TORVANE_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TORVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TORVANE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime, libgcc and winpthread are linked in statically: every
# program and Pelorin.dll stand alone, and no runtime DLL of this compiler
# has to be shipped or shared with a program built by another one.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# ctest and test discovery start the Windows programs through wine.
find_program(TORVANE_WINE NAMES wine wine64)
if(TORVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TORVANE_WINE})
endif()

set(TORVANE_BUILD_GUI OFF CACHE BOOL "" FORCE)
set(TORVANE_BUILD_BENCH OFF CACHE BOOL "" FORCE)
