# Cross build for 64-bit Windows from Debian with mingw-w64 (posix threads: std::thread).
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# QS_MINGW_ARCH=i686 gives the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT QS_MINGW_ARCH)
  set(QS_MINGW_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${QS_MINGW_ARCH})
set(triple ${QS_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# What we ship imports only system DLLs: the C++ runtime, libgcc and winpthread go in
# statically, and zlib is taken as its static archive.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)
set(ZLIB_LIBRARY /usr/${triple}/lib/libz.a CACHE FILEPATH "static zlib")
set(ZLIB_INCLUDE_DIR /usr/${triple}/include CACHE PATH "zlib headers")
# Programs run under Wine find their DLLs beside them.
set(CMAKE_CROSSCOMPILING_EMULATOR wine CACHE STRING "")
