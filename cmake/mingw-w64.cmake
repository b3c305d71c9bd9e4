# Cross-building the Qt-free parts for 64-bit Windows with Debian's MinGW-w64 (the posix-thread
# compilers, for std::thread); CTest runs the test programs under Wine.
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CERT_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CERT_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CERT_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CERT_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only; the host's never.
set(CMAKE_FIND_ROOT_PATH /usr/${CERT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each .exe runs on its own: the C++ runtime and the thread library are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(CERT_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(CERT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CERT_WINE})
endif()
