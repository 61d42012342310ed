# {fmt} for the programs that use the typed {} messages of kvlog_fmt.h (the module itself does not
# use it): the system's library natively; in the Windows builds its headers alone, in header-only
# mode, from a folder that holds nothing else of /usr/include.
add_library(kvlog_fmt INTERFACE)
if(WIN32)
    set(fmt_headers ${CMAKE_BINARY_DIR}/fmt-headers)
    file(MAKE_DIRECTORY ${fmt_headers})
    file(CREATE_LINK /usr/include/fmt ${fmt_headers}/fmt SYMBOLIC)
    target_include_directories(kvlog_fmt SYSTEM INTERFACE ${fmt_headers})
    target_compile_definitions(kvlog_fmt INTERFACE FMT_HEADER_ONLY)
else()
    find_package(fmt REQUIRED)
    target_link_libraries(kvlog_fmt INTERFACE fmt::fmt)
endif()
