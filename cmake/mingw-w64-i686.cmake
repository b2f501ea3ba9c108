# 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KELVARO_TRIPLE i686-w64-mingw32)
set(KELVARO_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
