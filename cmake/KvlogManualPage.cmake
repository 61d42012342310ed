# kvlog_manual_page(target summary): the program's manual page, made at build time from its own
# "--help" text (cmake/MakeManualPage.cmake), gzipped as Debian wants it and installed with the
# tools. Native Linux builds only: the Windows zip carries no manual pages.
function(kvlog_manual_page target summary)
    if(WIN32 OR CMAKE_CROSSCOMPILING)
        return()
    endif()
    find_program(KVLOG_GZIP gzip REQUIRED)
    set(page ${CMAKE_BINARY_DIR}/man/${target}.1.gz)
    add_custom_command(
        OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}> -DNAME=${target}
                "-DSUMMARY=${summary}" -DVERSION=${PROJECT_VERSION} -DGZIP=${KVLOG_GZIP}
                -DOUTPUT=${page} -P ${PROJECT_SOURCE_DIR}/cmake/MakeManualPage.cmake
        DEPENDS ${target} ${PROJECT_SOURCE_DIR}/cmake/MakeManualPage.cmake
        COMMENT "Making the manual page of ${target} from its help text"
        VERBATIM)
    add_custom_target(${target}_manual_page ALL DEPENDS ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tools)
endfunction()
