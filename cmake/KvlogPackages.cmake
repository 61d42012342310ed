# Packages made by `cpack` in the build folder: on Linux three Debian packages (the runtime
# library, -dev with headers, CMake and pkg-config files, -tools with the utilities program and the
# operator tool); for Windows one zip of the whole installed tree (with the 32-bit module when
# KVLOG_X86_BUILD_DIR names a 32-bit build), with the MinGW runtime DLLs that its programs and its
# DLL import.

set(CPACK_PACKAGE_NAME kvlog)
set(CPACK_PACKAGE_VENDOR "Korvel")
set(CPACK_PACKAGE_CONTACT "kvlog maintainers <maintainers@users.noreply.c-seed-f39379b4.example>")
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
    # Packages as Debian's rules (lintian) want them: libraries in the multiarch folder (see
    # CMakeLists.txt), stripped binaries without debug symbols, dependencies read from the
    # binaries by dpkg-shlibdeps, a shlibs file and the ldconfig trigger for the library, and
    # in every package's doc folder a machine-readable copyright file and the Debian changelog.
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL runtime dev tools)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
    set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
    set(CPACK_DEBIAN_PACKAGE_SECTION libs)
    set(CPACK_STRIP_FILES ON)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libkvlog${PROJECT_VERSION_MAJOR})
    set(CPACK_DEBIAN_DEV_PACKAGE_NAME libkvlog-dev)
    set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME kvlog-tools)
    set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)

    file(WRITE ${PROJECT_BINARY_DIR}/debian/triggers "activate-noawait ldconfig\n")
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/triggers)
    # CPack also writes postinst and postrm scripts that call ldconfig; the trigger does that.
    set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DropLdconfigScripts.cmake)

    set(KVLOG_DEBIAN_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in
                   ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
    find_program(KVLOG_GZIP gzip REQUIRED)
    set(changelog ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
    add_custom_command(OUTPUT ${changelog}
                       COMMAND ${KVLOG_GZIP} -9nkf ${PROJECT_BINARY_DIR}/debian/changelog.Debian
                       DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian VERBATIM)
    add_custom_target(kvlog_debian_changelog ALL DEPENDS ${changelog})
    # Only the packages carry these: a plain install has no package to name its folder. The
    # packages go to no bug tracker of Debian's archive, so their first changelog entry closes
    # no bug (which lintian expects of a new package uploaded to Debian).
    foreach(component runtime dev tools)
        string(TOUPPER ${component} upper)
        set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
        install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${changelog}
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
                COMPONENT ${component} EXCLUDE_FROM_ALL)
        file(WRITE ${PROJECT_BINARY_DIR}/debian/${package}
             "# Not uploaded to Debian: no bug to close.\n"
             "${package}: initial-upload-closes-no-bugs\n")
        install(FILES ${PROJECT_BINARY_DIR}/debian/${package}
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
                COMPONENT ${component} EXCLUDE_FROM_ALL)
    endforeach()
endif()

include(CPack)
cpack_add_component(runtime DISPLAY_NAME "kvlog runtime library"
                    DESCRIPTION "The shared logging library")
cpack_add_component(dev DISPLAY_NAME "kvlog development files" DEPENDS runtime
                    DESCRIPTION "Headers, CMake package and pkg-config file")
# The tools link the library statically: they depend on what dpkg-shlibdeps finds, not on it.
cpack_add_component(tools DISPLAY_NAME "kvlog tools"
                    DESCRIPTION "The suite's utilities program and the operator tool kvlogctl")
