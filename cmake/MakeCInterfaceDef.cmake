# Writes the module-definition file of the C interface (DEF) from its header (HEADER), for the
# import library that MSVC programs link. Run with cmake -P.
include(${CMAKE_CURRENT_LIST_DIR}/KvlogCFunctions.cmake)
kvlog_c_functions(${HEADER} names)
list(LENGTH names count)
if(count LESS 10)
    message(FATAL_ERROR "Only ${count} functions found in ${HEADER}")
endif()
list(JOIN names "\n    " exports)
file(WRITE ${DEF} "LIBRARY ${DLL}\nEXPORTS\n    ${exports}\n")
