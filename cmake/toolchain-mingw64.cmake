# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix
# threads variant: std::thread and std::mutex need it).
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PACHINKO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PACHINKO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PACHINKO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PACHINKO_MINGW_PREFIX}-windres)
set(CMAKE_AR ${PACHINKO_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${PACHINKO_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${PACHINKO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The executables need nothing but Windows' own DLLs: the GCC runtime, the
# C++ library and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Unicode Windows API (the W functions) throughout; a Windows 10 target.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)

# Test programs and generated steps run under Wine (Debian 12's wine
# starts 64-bit programs itself).
find_program(PACHINKO_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(PACHINKO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PACHINKO_WINE})
endif()
