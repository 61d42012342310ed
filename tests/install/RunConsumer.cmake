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
set(all_headers "")
foreach(header IN LISTS headers)
    string(APPEND all_headers "#include <${header}>\n")
endforeach()
file(WRITE ${WORK_DIR}/AllHeaders.cpp "${all_headers}")
run(${CONSUMER_CXX} -std=c++17 -Wall -Wextra -Werror -fsyntax-only -I${prefix}/include
    ${WORK_DIR}/AllHeaders.cpp)

build_and_run_with_pkgconfig(${CONSUMER_CXX} ${prefix}/${LIBDIR}/pkgconfig ${prefix} ${WORK_DIR})

run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/consumer -B ${WORK_DIR}/consumer -G Ninja
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
# The CMake package's imported library gives the consumer its run path: no LD_LIBRARY_PATH.
run_in_suite(${WORK_DIR} ${WORK_DIR}/consumer/consumer)

include(${CMAKE_CURRENT_LIST_DIR}/GuideSamples.cmake)
