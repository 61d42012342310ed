# Every C++ sample of the guide compiles against an installed tree with nothing but its include
# folder; a sample with main() is linked and run as well, once through pkg-config and once built
# by the guide's own CMake sample. Expects prefix, WORK_DIR, SOURCE_DIR, CXX and CONSUMER_CXX.
set(samples_dir ${WORK_DIR}/guide)
file(MAKE_DIRECTORY ${samples_dir})
file(READ ${SOURCE_DIR}/docs/guide.md guide)
string(REPLACE ";" "<semicolon>" guide "${guide}") # the samples' ";" must not split the list
string(REGEX MATCHALL "```cpp\n[^`]*```" cpp_samples "${guide}")
string(REGEX MATCH "```cmake\n([^`]*)```" found "${guide}")
set(cmake_sample "${CMAKE_MATCH_1}")
if(NOT cpp_samples OR NOT found)
    message(FATAL_ERROR "The guide has no C++ or no CMake sample")
endif()

set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
set(ENV{PKG_CONFIG_LIBDIR} ${prefix}/${LIBDIR}/pkgconfig)
output_of(libs pkg-config --libs kvlog)
separate_arguments(libs UNIX_COMMAND "${libs}")
set(index 0)
set(program "")
foreach(sample IN LISTS cpp_samples)
    math(EXPR index "${index} + 1")
    string(REGEX REPLACE "^```cpp\n|```$" "" sample "${sample}")
    string(REPLACE "<semicolon>" ";" sample "${sample}")
    set(source ${samples_dir}/sample${index}.cpp)
    file(WRITE ${source} "${sample}")
    set(flags -std=c++17 -Wall -Wextra -Werror -I${prefix}/include)
    if(sample MATCHES "int main\\(")
        run(${CONSUMER_CXX} ${flags} ${source} -o ${samples_dir}/sample${index} ${libs})
        run_in_suite(${samples_dir} ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/${LIBDIR}
                     ${samples_dir}/sample${index})
        set(program ${source})
    else()
        run(${CONSUMER_CXX} ${flags} -c ${source} -o ${samples_dir}/sample${index}.o)
    endif()
endforeach()

string(REPLACE "<semicolon>" ";" cmake_sample "${cmake_sample}")
file(WRITE ${samples_dir}/project/CMakeLists.txt
     "cmake_minimum_required(VERSION 3.20)\nproject(first LANGUAGES CXX)\n"
     "set(CMAKE_CXX_STANDARD 17)\n${cmake_sample}")
file(COPY_FILE ${program} ${samples_dir}/project/first.cpp)
run(${CMAKE_COMMAND} -S ${samples_dir}/project -B ${samples_dir}/project/build -G Ninja
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${samples_dir}/project/build)
run_in_suite(${samples_dir} ${samples_dir}/project/build/first)
