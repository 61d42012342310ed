# Runs the demo (through the shared module: kvLOG.dll or libkvlog.so) inside a scratch suite
# installation and checks that it leaves its HTML log and its settings file; with CHROMIUM given,
# also how a browser shows the log.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/log ${WORK_DIR}/ctrl)
file(TOUCH ${WORK_DIR}/ctrl/RVT.exe)

execute_process(COMMAND ${CMAKE_COMMAND} -E env KORVEL_ROOT_DIR=${WORK_DIR} ${EMULATOR} ${DEMO}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The demo failed (${result}):\n${out}\n${err}")
endif()

foreach(name log_Demo.htm xdb_Demo.xdb)
    if(NOT EXISTS ${WORK_DIR}/log/${name})
        message(FATAL_ERROR "The demo left no ${name}:\n${out}\n${err}")
    endif()
endforeach()
file(READ ${WORK_DIR}/log/log_Demo.htm log)
foreach(expected "axis 2 lost its reference" "sequence finished" "</html>")
    string(FIND "${log}" "${expected}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "The demo's log lacks \"${expected}\":\n${log}")
    endif()
endforeach()

if(CHROMIUM)
    include(${CMAKE_CURRENT_LIST_DIR}/BrowserCheck.cmake)
endif()
