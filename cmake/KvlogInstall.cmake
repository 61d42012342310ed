# Installed tree: include/kvlog/{kvlog.h,utility.h,...}, the libraries, the CMake package
# (targets kvlog::kvlog, kvlog::utility, kvlog::framework) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS kvlog kvutility kvframework EXPORT kvlogTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

file(GLOB framework_headers ${PROJECT_SOURCE_DIR}/source/framework/*.h)
file(GLOB utility_headers ${PROJECT_SOURCE_DIR}/source/utility/*.h)
list(FILTER utility_headers EXCLUDE REGEX "/utility\\.h$")
file(GLOB kvlog_public_headers ${PROJECT_SOURCE_DIR}/source/kvdll/kvlog/kvlog.h
                               ${PROJECT_SOURCE_DIR}/source/kvdll/kvlog/KvlogExport.h
                               ${PROJECT_SOURCE_DIR}/source/kvdll/kvlog/WindowsVersion.h)
install(FILES ${framework_headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kvlog/framework)
install(FILES ${utility_headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kvlog/utility)
install(FILES ${PROJECT_SOURCE_DIR}/source/utility/utility.h ${kvlog_public_headers}
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kvlog)

set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/kvlog)
install(EXPORT kvlogTargets NAMESPACE kvlog:: DESTINATION ${config_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kvlogConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/kvlogConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kvlogConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kvlogConfig.cmake ${PROJECT_BINARY_DIR}/kvlogConfigVersion.cmake
        DESTINATION ${config_dir})

configure_file(${PROJECT_SOURCE_DIR}/cmake/kvlog.pc.in ${PROJECT_BINARY_DIR}/kvlog.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kvlog.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
