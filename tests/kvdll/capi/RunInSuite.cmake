# Runs a program of the C interface tests inside a scratch suite installation (through the
# emulator for Windows programs) and checks the log file it leaves.
#   C_PROGRAM: runs once; its log must hold every EXPECTED text and none of the ABSENT ones.
#   SAME_LOG: runs the program with "kvlog.h" and with "wrapper"; both log files must be equal
#             apart from times and thread ids.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/log ${WORK_DIR}/ctrl)
file(TOUCH ${WORK_DIR}/ctrl/RVT.exe)

function(run_program log_name copy_to) # further arguments go to the program
    file(REMOVE_RECURSE ${WORK_DIR}/log)
    file(MAKE_DIRECTORY ${WORK_DIR}/log)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env KORVEL_ROOT_DIR=${WORK_DIR} ${EMULATOR}
                            ${PROGRAM} ${ARGN}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${PROGRAM} ${ARGN} failed (${result}):\n${out}\n${err}")
    endif()
    if(NOT EXISTS ${WORK_DIR}/log/${log_name})
        message(FATAL_ERROR "${PROGRAM} ${ARGN} left no ${log_name}:\n${out}\n${err}")
    endif()
    file(READ ${WORK_DIR}/log/${log_name} log)
    set(${copy_to} "${log}" PARENT_SCOPE)
endfunction()

# Times, dates and thread ids vary from run to run; nothing else may.
function(without_times text result)
    string(REGEX REPLACE "created at:</th><td>[^<]*" "created at:</th><td>T" text "${text}")
    string(REGEX REPLACE "Dump: 0x[0-9A-F]+\\[" "Dump: ADDRESS[" text "${text}")
    string(REGEX REPLACE "[0-9]+-[0-9]+-[0-9]+ [0-9]+:[0-9]+:[0-9]+\\.[0-9]+ \\[[0-9]+\\]" "T"
           text "${text}")
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

if(MODE STREQUAL "C_PROGRAM")
    run_program(log_C_Program.htm log)
    foreach(expected "axis 2 at 12.5 mm" "-1    > numeric ID"
                     "homed after 3 tries" "ASSERT(1 + 1 == 3) failed"
                     "arithmetic broke" "dump of 5 bytes" "0x41, 0x42, 0x43, 0x00, 0xFF," "DMP   > LogMessages("
                     "  inside a block" "LINE  > composed of two" "an error for the sink"
                     "an error after the sink left")
        string(FIND "${log}" "${expected}" found)
        if(found EQUAL -1)
            message(FATAL_ERROR "The log lacks \"${expected}\":\n${log}")
        endif()
    endforeach()
    foreach(absent "before the reset" "debug is off" "event 5")
        string(FIND "${log}" "${absent}" found)
        if(NOT found EQUAL -1)
            message(FATAL_ERROR "The log holds \"${absent}\":\n${log}")
        endif()
    endforeach()
elseif(MODE STREQUAL "SAME_LOG")
    run_program(log_Same_Log.htm through_classes kvlog.h)
    run_program(log_Same_Log.htm through_wrapper wrapper)
    without_times("${through_classes}" through_classes)
    without_times("${through_wrapper}" through_wrapper)
    if(NOT through_classes STREQUAL through_wrapper)
        file(WRITE ${WORK_DIR}/kvlog.h.htm "${through_classes}")
        file(WRITE ${WORK_DIR}/wrapper.htm "${through_wrapper}")
        message(FATAL_ERROR "The two logs differ; see ${WORK_DIR}/kvlog.h.htm and wrapper.htm")
    endif()
else()
    message(FATAL_ERROR "Unknown MODE ${MODE}")
endif()
