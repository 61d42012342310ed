# Packages made by `cpack` in the build folder: on Linux three Debian packages (the runtime
# library, -dev with headers, CMake and pkg-config files, -tools with the utilities program and the
# operator tool); for Windows one zip of the whole installed tree (with the 32-bit module when
# KVLOG_X86_BUILD_DIR names a 32-bit build), with the MinGW runtime DLLs that its programs and its
# DLL import.

set(CPACK_PACKAGE_NAME kvlog)
set(CPACK_PACKAGE_VENDOR "Korvel")
set(CPACK_PACKAGE_CONTACT "kvlog maintainers <kvlog@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Logging library of the instrument-control suite")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    # Named after its one architecture, or plain "windows" when it holds both.
    set(CPACK_PACKAGE_FILE_NAME kvlog-${PROJECT_VERSION}-windows)
    if(NOT KVLOG_X86_BUILD_DIR)
        string(APPEND CPACK_PACKAGE_FILE_NAME -${KVLOG_WINDOWS_ARCH})
    endif()
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL runtime dev tools)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
    set(CPACK_DEBIAN_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libkvlog${PROJECT_VERSION_MAJOR})
    set(CPACK_DEBIAN_DEV_PACKAGE_NAME libkvlog-dev)
    set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME kvlog-tools)
    set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
endif()

include(CPack)
cpack_add_component(runtime DISPLAY_NAME "kvlog runtime library"
                    DESCRIPTION "The shared logging library")
cpack_add_component(dev DISPLAY_NAME "kvlog development files" DEPENDS runtime
                    DESCRIPTION "Headers, CMake package and pkg-config file")
cpack_add_component(tools DISPLAY_NAME "kvlog tools" DEPENDS runtime
                    DESCRIPTION "The suite's utilities program and the operator tool kvlogctl")
