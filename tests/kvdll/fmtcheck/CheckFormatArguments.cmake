# Compiles FormatArguments.cpp once per case (cmake -P, with CXX, SOURCE, INCLUDES and CASES):
# case 0 must compile, so that a refusal of the others is theirs alone, and every other case must
# be refused.
foreach(case RANGE ${CASES})
    execute_process(COMMAND ${CXX} -std=c++17 -fsyntax-only -DKVLOG_CASE=${case} ${INCLUDES} ${SOURCE}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(case EQUAL 0 AND NOT result EQUAL 0)
        message(FATAL_ERROR "The right arguments do not compile:\n${out}")
    elseif(NOT case EQUAL 0 AND result EQUAL 0)
        message(FATAL_ERROR "Case ${case} of ${SOURCE} compiled; the compiler should refuse it")
    endif()
endforeach()
