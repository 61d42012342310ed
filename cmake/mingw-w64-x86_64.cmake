# Cross build for 64-bit Windows with MinGW-w64 (POSIX threads model); tests run under Wine.
set(KVLOG_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KVLOG_WINE_NAMES wine wine64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
