# Run by cpack once it has made the Debian packages (CPACK_POST_BUILD_SCRIPTS). CPack gives a
# package with a shared library below /usr/lib a postinst and a postrm that only call ldconfig.
# Debian refreshes the dynamic linker's cache through the ldconfig trigger instead (the library
# package's triggers file activates it), and its rules forbid the call: a package with exactly
# those scripts is built again without them.
# The scripts as CPack writes them (no list: they hold ";").
set(postinst_content "#!/bin/sh\n\nset -e\n\nif [ \"$1\" = \"configure\" ]; then\n\tldconfig\nfi\n")
set(postrm_content "#!/bin/sh\n\nset -e\n\nif [ \"$1\" = \"remove\" ]; then\n\tldconfig\nfi\n")
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    if(NOT deb MATCHES "\\.deb$")
        continue()
    endif()
    set(tree ${deb}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    set(dropped OFF)
    foreach(script postinst postrm)
        if(EXISTS ${tree}/DEBIAN/${script})
            file(READ ${tree}/DEBIAN/${script} found)
            if(found STREQUAL "${${script}_content}")
                file(REMOVE ${tree}/DEBIAN/${script})
                set(dropped ON)
            endif()
        endif()
    endforeach()
    if(dropped)
        execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${deb}
                        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    endif()
    file(REMOVE_RECURSE ${tree})
endforeach()
