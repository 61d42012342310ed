# Installed tree: the public headers in include/kvlog (kvlog.h, utility.h, ...), the framework and
# utility headers they include in include/kvlog/framework and include/kvlog/utility, the libraries,
# the CMake package (targets kvlog::kvlog, kvlog::utility, kvlog::framework) and a pkg-config file.
# Users search include/ only and write #include <kvlog/kvlog.h>, so the framework's short header
# names (CString.h, CList.h, ...) never meet the application's own.
include(CMakePackageConfigHelpers)

# Components: "runtime" is what a program needs to run, "dev" what building one needs, "tools" the
# utilities program and the operator tool.
set(mingw_runtime "")
if(WIN32)
    set(mingw_runtime RUNTIME_DEPENDENCY_SET kvlog_mingw_runtime)
    # A cross build reads the imports of the Windows binaries with the toolchain's objdump.
    install(CODE "set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
                  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
                  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${CMAKE_OBJDUMP}\")"
            ALL_COMPONENTS)
endif()
install(TARGETS kvlog kvutility kvframework EXPORT kvlogTargets ${mingw_runtime}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
set(tools rvtutilities)
if(TARGET kvlogctl)
    list(APPEND tools kvlogctl)
endif()
install(TARGETS ${tools} ${mingw_runtime} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
if(WIN32)
    # The DLLs of the compiler's runtime travel along (none while everything links statically);
    # the system's own DLLs are the target's.
    get_filename_component(compiler_dir ${CMAKE_CXX_COMPILER} DIRECTORY)
    file(GLOB mingw_runtime_dirs /usr/lib/gcc/${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32/*-posix
         ${CMAKE_FIND_ROOT_PATH}/lib ${CMAKE_FIND_ROOT_PATH}/bin)
    install(RUNTIME_DEPENDENCY_SET kvlog_mingw_runtime DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT runtime DIRECTORIES ${mingw_runtime_dirs} ${compiler_dir}
            PRE_INCLUDE_REGEXES "^lib(gcc_s|stdc\\+\\+|winpthread|ssp|atomic)[-_].*\\.dll$"
            PRE_EXCLUDE_REGEXES ".*")

    # The 64-bit tree carries the 32-bit module as well, from a 32-bit build of the same sources
    # (cmake/mingw-w64-i686.cmake): its DLL and the libraries that programs link it with.
    set(KVLOG_X86_BUILD_DIR "" CACHE PATH
        "A 32-bit Windows build whose module the 64-bit install tree and zip carry as well")
    if(KVLOG_X86_BUILD_DIR)
        if(NOT KVLOG_WINDOWS_ARCH STREQUAL "x64")
            message(FATAL_ERROR "KVLOG_X86_BUILD_DIR belongs to the 64-bit build")
        endif()
        install(FILES ${KVLOG_X86_BUILD_DIR}/bin/kvLOG.dll DESTINATION bin/x86 COMPONENT runtime)
        install(FILES ${KVLOG_X86_BUILD_DIR}/lib/libkvLOG.dll.a ${KVLOG_X86_BUILD_DIR}/lib/kvLOG.lib
                      ${KVLOG_X86_BUILD_DIR}/lib/kvLOG.def
                DESTINATION lib/x86 COMPONENT dev)
    endif()
endif()

# The given headers and every header they include with quotes, followed through all levels.
function(kvlog_header_closure out)
    set(pending ${ARGN})
    set(found "")
    while(pending)
        list(POP_FRONT pending header)
        if(header IN_LIST found)
            continue()
        endif()
        list(APPEND found ${header})
        get_filename_component(folder ${header} DIRECTORY)
        file(STRINGS ${header} includes REGEX "^#include \"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" name "${line}")
            foreach(base ${folder} ${PROJECT_SOURCE_DIR}/source)
                get_filename_component(candidate ${name} ABSOLUTE BASE_DIR ${base})
                if(EXISTS ${candidate})
                    list(APPEND pending ${candidate})
                    break()
                endif()
            endforeach()
        endforeach()
    endwhile()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# The module's public headers sit at its top; utility.h gathers the utility library's.
set(module_dir ${PROJECT_SOURCE_DIR}/source/kvdll/kvlog)
file(GLOB public_headers ${module_dir}/*.h ${module_dir}/*.hpp)
kvlog_header_closure(installed_headers ${public_headers} ${PROJECT_SOURCE_DIR}/source/utility/utility.h)
# An include added to one of them may add a header to the list.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${installed_headers})
foreach(header IN LISTS installed_headers)
    get_filename_component(folder ${header} DIRECTORY)
    if(folder STREQUAL module_dir OR header MATCHES "/source/utility/utility\\.h$")
        set(relative "")
    elseif(folder MATCHES "^${module_dir}/")
        file(RELATIVE_PATH relative ${module_dir} ${folder})
    else()
        file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/source ${folder})
    endif()
    install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kvlog/${relative} COMPONENT dev)
endforeach()

set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/kvlog)
install(EXPORT kvlogTargets NAMESPACE kvlog:: DESTINATION ${config_dir} COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kvlogConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/kvlogConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kvlogConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kvlogConfig.cmake ${PROJECT_BINARY_DIR}/kvlogConfigVersion.cmake
        DESTINATION ${config_dir} COMPONENT dev)

# The pkg-config file finds the prefix from its own place, so the tree may be moved.
set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH KVLOG_PC_TO_PREFIX /root/${pkgconfig_dir} /root)
string(REGEX REPLACE "/$" "" KVLOG_PC_TO_PREFIX "${KVLOG_PC_TO_PREFIX}")
get_target_property(KVLOG_PC_LIBRARY kvlog OUTPUT_NAME)
if(NOT KVLOG_PC_LIBRARY)
    set(KVLOG_PC_LIBRARY kvlog)
endif()
# The system libraries that the framework links, as the CMake targets pass them on.
set(KVLOG_PC_SYSTEM_LIBRARIES -pthread)
get_target_property(framework_libraries kvframework INTERFACE_LINK_LIBRARIES)
foreach(library IN LISTS framework_libraries)
    if(library MATCHES "^[A-Za-z0-9_]+$")
        string(APPEND KVLOG_PC_SYSTEM_LIBRARIES " -l${library}")
    endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/kvlog.pc.in ${PROJECT_BINARY_DIR}/kvlog.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kvlog.pc DESTINATION ${pkgconfig_dir} COMPONENT dev)
