# Cross build for 32-bit Windows from Debian with mingw-w64 (posix threads: std::thread).
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
# The same set-up as the 64-bit build, for i686.
set(QS_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
