# Cross build of the stub as a 64-bit Windows program with MinGW-w64. It is
# not shipped: it lets the end-to-end tests run the real Win32 code under
# 64-bit Wine on machines that cannot execute 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QX_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
