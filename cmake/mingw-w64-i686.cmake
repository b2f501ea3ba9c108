# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KELVARO_TRIPLE i686-w64-mingw32)

set(CMAKE_C_COMPILER   ${KELVARO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVARO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${KELVARO_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KELVARO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs every test program through wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# The Wine loader of this architecture: Debian's plain `wine` takes the 32-bit one whenever
# wine32 is installed, and that one cannot start a 64-bit program named by its Unix path.
set(KELVARO_WINE_LOADER /usr/lib/wine/wine)
