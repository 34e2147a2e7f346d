# Cross build for 64-bit Windows; built in the test command to keep the code
# clean for 64 bits (handles and pointers in WPARAM/LPARAM/LRESULT).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZV_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
