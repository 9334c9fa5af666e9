# Cross build of the 32-bit Windows stub with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QX_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
