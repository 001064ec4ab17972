# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (the posix
# thread model, which std::thread and std::mutex need). Programs run under
# Wine, so ctest can run the Windows tests on this machine:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# scripts/test_portability.sh does this with a Wine prefix of its own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(tavo_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${tavo_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tavo_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${tavo_mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${tavo_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the programs: Debian's wine64 package puts its loader here. A
# prefix of the caller's own (WINEPREFIX) keeps the user's untouched.
find_program(TAVO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(TAVO_WINE NAMES wine64 wine)
if(TAVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVO_WINE})
endif()
