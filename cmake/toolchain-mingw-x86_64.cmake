# Cross-builds the Windows program with MinGW-w64 for 64-bit Windows. The
# "-posix" compilers are the ones whose C++ library has std::thread and
# std::mutex (the plain names use the win32 thread model, which lacks them).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LINNET_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
