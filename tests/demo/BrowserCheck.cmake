# Opens the demo's log page in headless Chromium and checks what the browser makes of it: every
# header row and every log line takes up room on the page, and each level shows in its colour.
# A probe script appended to a copy of the page writes the computed styles into the DOM dump.
set(page ${WORK_DIR}/browser/page.htm)
file(REMOVE_RECURSE ${WORK_DIR}/browser)
file(MAKE_DIRECTORY ${WORK_DIR}/browser/profile)
file(READ ${CMAKE_CURRENT_LIST_DIR}/LogProbe.js probe)
file(COPY_FILE ${WORK_DIR}/log/log_Demo.htm ${page})
file(APPEND ${page} "<script>\n${probe}</script>\n")

execute_process(COMMAND ${CHROMIUM} --headless --no-sandbox --disable-gpu --disable-quic
                        --no-first-run --disable-background-networking --disable-component-update
                        --disable-sync --user-data-dir=${WORK_DIR}/browser/profile
                        --dump-dom file://${page}
                TIMEOUT 60 RESULT_VARIABLE result OUTPUT_VARIABLE dom ERROR_VARIABLE err)
string(REGEX MATCH "\nPROBE\n(.*)\nEND\n" found "${dom}")
if(NOT result EQUAL 0 OR NOT found)
    message(FATAL_ERROR "Chromium gave no probe (${result}):\n${err}")
endif()
# The dump escapes the probe's text; a ";" would split the list.
set(probes "${CMAKE_MATCH_1}")
foreach(entity_char "&lt\;;<" "&gt\;;>" "&amp\;;&")
    list(GET entity_char 0 entity)
    list(GET entity_char 1 char)
    string(REPLACE "${entity}" "${char}" probes "${probes}")
endforeach()
string(REPLACE ";" "," probes "${probes}")
string(REPLACE "\n" ";" probes "${probes}")

foreach(entry IN LISTS probes)
    if(NOT entry MATCHES "\\|shown\\|")
        message(FATAL_ERROR "Not shown on the page: ${entry}")
    endif()
endforeach()
foreach(row "KRVT Version:" "Logfile created at:" "Level:" "Platform:")
    string(FIND "${probes}" "row|${row}|shown" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "The header table lacks the row \"${row}\":\n${probes}")
    endif()
endforeach()

# Every line of the file is on the page, and each level in its colour.
file(STRINGS ${WORK_DIR}/log/log_Demo.htm file_lines REGEX "class=\"logLine\"")
list(FILTER probes INCLUDE REGEX "^line\\|")
list(LENGTH file_lines expected_count)
list(LENGTH probes shown_count)
if(NOT shown_count EQUAL expected_count)
    message(FATAL_ERROR "${expected_count} log lines in the file, ${shown_count} on the page")
endif()
foreach(level_colour "Information;rgb(0, 0, 0)" "Warning;rgb(255, 153, 0)" "Error;rgb(255, 0, 0)"
                     "Success;rgb(0, 153, 0)")
    list(GET level_colour 0 level)
    list(GET level_colour 1 colour)
    set(lines ${probes})
    list(FILTER lines INCLUDE REGEX "<${level} ")
    if(NOT lines)
        message(FATAL_ERROR "No ${level} line on the page:\n${probes}")
    endif()
    foreach(line IN LISTS lines)
        string(FIND "${line}" "|${colour}" at REVERSE)
        if(at EQUAL -1)
            message(FATAL_ERROR "${level} lines should show in ${colour}: ${line}")
        endif()
    endforeach()
endforeach()
