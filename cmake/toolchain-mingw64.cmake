# Cross build for 64-bit Windows with the mingw-w64 toolchain (Debian packages
# mingw-w64 and mingw-w64-tools):
#   cmake -S . -B build-mingw -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
# scripts/windows-build.sh does this, after building SQLite and libxml2 for
# the same target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HARBOLT_MINGW_TRIPLE x86_64-w64-mingw32)
# The "posix" thread model has std::thread and std::mutex in GCC 12; its
# winpthread run-time is linked statically like the C++ run-time.
find_program(CMAKE_C_COMPILER NAMES ${HARBOLT_MINGW_TRIPLE}-gcc-posix ${HARBOLT_MINGW_TRIPLE}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${HARBOLT_MINGW_TRIPLE}-g++-posix ${HARBOLT_MINGW_TRIPLE}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${HARBOLT_MINGW_TRIPLE}-windres REQUIRED)
find_program(HARBOLT_WIDL NAMES ${HARBOLT_MINGW_TRIPLE}-widl widl)

set(CMAKE_FIND_ROOT_PATH /usr/${HARBOLT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 and later; C99 printf (the same number texts as glibc, where the
# msvcrt one writes three-digit exponents).
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE
                        __USE_MINGW_ANSI_STDIO=1)
# The module is loaded into another process: it carries its own C and C++
# run-times instead of depending on mingw DLLs that the host does not have.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
