# Installs the build tree into a scratch prefix, then configures, builds and runs a small
# application that finds the library with find_package(kvlog) and with pkg-config.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Failed (${result}): ${ARGN}\n${out}")
    endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(expected include/kvlog/kvlog.h include/kvlog/utility.h lib/cmake/kvlog/kvlogConfig.cmake
                 lib/pkgconfig/kvlog.pc)
    if(NOT EXISTS ${prefix}/${expected})
        message(FATAL_ERROR "The installed tree lacks ${expected}")
    endif()
endforeach()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/consumer -B ${WORK_DIR}/consumer -G Ninja
    -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
# The consumer logs: give it a suite installation of its own for its log and settings files.
file(MAKE_DIRECTORY ${WORK_DIR}/suite/log ${WORK_DIR}/suite/ctrl)
file(TOUCH ${WORK_DIR}/suite/ctrl/RVT.exe)
run(${CMAKE_COMMAND} -E env KORVEL_ROOT_DIR=${WORK_DIR}/suite ${WORK_DIR}/consumer/consumer)
