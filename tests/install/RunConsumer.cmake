# Installs the build tree into a scratch prefix and moves the prefix elsewhere, as a user may.
# There, every installed header must compile with nothing but -I PREFIX/include, and a small
# application must build and run, found once with pkg-config and once with find_package(kvlog);
# so must the guide's samples.
include(${CMAKE_CURRENT_LIST_DIR}/InstallSteps.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/moved/kvlog)

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/staged)
file(MAKE_DIRECTORY ${WORK_DIR}/moved)
file(RENAME ${WORK_DIR}/staged ${prefix})

# Nothing but the kvlog folder joins the user's include path.
file(GLOB top_level RELATIVE ${prefix}/include ${prefix}/include/*)
if(NOT top_level STREQUAL "kvlog")
    message(FATAL_ERROR "include/ should hold the kvlog folder alone: ${top_level}")
endif()
file(GLOB_RECURSE headers RELATIVE ${prefix}/include ${prefix}/include/*)
# kvlog_fmt.h and the C interface name their macros alike, so it stands in a file of its own.
set(all_headers "")
foreach(header IN LISTS headers)
    if(NOT header STREQUAL "kvlog/kvlog_fmt.h")
        string(APPEND all_headers "#include <${header}>\n")
    endif()
endforeach()
file(WRITE ${WORK_DIR}/AllHeaders.cpp "${all_headers}")
file(WRITE ${WORK_DIR}/FmtHeader.cpp "#include <kvlog/kvlog_fmt.h>\n")
foreach(source AllHeaders FmtHeader)
    run(${CONSUMER_CXX} -std=c++17 -Wall -Wextra -Werror -fsyntax-only -I${prefix}/include
        ${WORK_DIR}/${source}.cpp)
endforeach()

build_and_run_with_pkgconfig(${CONSUMER_CXX} ${prefix}/lib/pkgconfig ${prefix} ${WORK_DIR})

run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/consumer -B ${WORK_DIR}/consumer -G Ninja
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
# The CMake package's imported library gives the consumer its run path: no LD_LIBRARY_PATH.
run_in_suite(${WORK_DIR} ${WORK_DIR}/consumer/consumer)

include(${CMAKE_CURRENT_LIST_DIR}/GuideSamples.cmake)
