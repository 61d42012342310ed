# Cross build for 64-bit Windows with MinGW-w64 (POSIX threads model); tests run under Wine.
set(KVLOG_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# wine64 first: where the kernel runs no 32-bit programs, the "wine" launcher (a 32-bit
# program once 32-bit Wine is installed) cannot start at all.
set(KVLOG_WINE_NAMES wine64 wine)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
