# Cross build for 32-bit Windows with MinGW-w64 (POSIX threads model); tests run under 32-bit
# Wine where it is installed.
set(KVLOG_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KVLOG_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
