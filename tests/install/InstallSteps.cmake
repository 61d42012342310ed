# Steps shared by the tests of the installed tree and of the packages (cmake -P scripts).
cmake_minimum_required(VERSION 3.20) # IN_LIST and the other newer script commands

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Failed (${result}): ${ARGN}\n${out}")
    endif()
endfunction()

# The output of a command that must succeed, without the trailing line break.
function(output_of variable)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Failed (${result}): ${ARGN}\n${out}\n${err}")
    endif()
    set(${variable} "${out}" PARENT_SCOPE)
endfunction()

# Builds the consumer with the flags of the kvlog.pc found in pcdir, checks that they add nothing
# to the include path but the tree's include folder, and runs it with the tree's libraries.
function(build_and_run_with_pkgconfig compiler pcdir prefix work)
    set(ENV{PKG_CONFIG_PATH} ${pcdir})
    set(ENV{PKG_CONFIG_LIBDIR} ${pcdir})
    output_of(cflags pkg-config --cflags kvlog)
    output_of(libs pkg-config --libs kvlog)
    separate_arguments(cflags UNIX_COMMAND "${cflags}")
    separate_arguments(libs UNIX_COMMAND "${libs}")
    list(LENGTH cflags count)
    list(GET cflags 0 include)
    string(REGEX REPLACE "^-I" "" include_dir "${include}")
    file(REAL_PATH "${include_dir}" include_dir)
    file(REAL_PATH ${prefix}/include expected)
    if(NOT count EQUAL 1 OR NOT include_dir STREQUAL expected)
        message(FATAL_ERROR "pkg-config's Cflags should be -I${expected} alone: ${cflags}")
    endif()

    set(consumer ${work}/consumer-pkgconfig)
    run(${compiler} -std=c++17 -Wall -Wextra -Werror ${cflags}
        ${SOURCE_DIR}/tests/install/consumer/Consumer.cpp -o ${consumer} ${libs})
    list(FILTER libs INCLUDE REGEX "^-L")
    string(REGEX REPLACE "^-L" "" libdir "${libs}")
    run_in_suite(${work} ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${libdir} ${consumer})
endfunction()

# Runs a program inside a suite installation of its own for its log and settings files.
function(run_in_suite work)
    file(MAKE_DIRECTORY ${work}/suite/log ${work}/suite/ctrl)
    file(TOUCH ${work}/suite/ctrl/RVT.exe)
    run(${CMAKE_COMMAND} -E env KORVEL_ROOT_DIR=${work}/suite ${ARGN})
endfunction()
