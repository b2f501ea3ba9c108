# Cross-compiling for Windows with Debian's MinGW-w64 (posix thread model). Included by the
# toolchain file of each architecture once it has set KELVARO_TRIPLE, CMAKE_SYSTEM_PROCESSOR
# and KELVARO_WINE_LOADER.
set(CMAKE_SYSTEM_NAME Windows)

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
