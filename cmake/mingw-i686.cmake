# Cross build for 32-bit Windows with Debian's mingw-w64. The -posix
# compilers are used because GoogleTest does not build with the win32
# thread model; everything is linked statically, so the programs need no
# DLL that Windows does not ship.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZV_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
