# 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KELVARO_TRIPLE x86_64-w64-mingw32)
# The Wine loader of this architecture: Debian's plain `wine` takes the 32-bit one whenever
# wine32 is installed, and that one cannot start a 64-bit program named by its Unix path.
set(KELVARO_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
