# Turns a program's "--help" text into its manual page (cmake -P, from kvlog_manual_page):
# PROGRAM, NAME, SUMMARY (for the NAME section), VERSION, GZIP, OUTPUT (NAME.1.gz).
#
# The help text's first line "Usage: ..." is the synopsis. The rest is the description: lines
# that begin at the margin are filled into paragraphs (a blank line ends one), a line ending in
# ":" there is a subheading, and indented lines keep their layout.
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT help MATCHES "^Usage: ")
    message(FATAL_ERROR "${PROGRAM} --help gave no usage text (${result})")
endif()
# roff's escapes: a backslash is \e, a hyphen-minus \-, a line beginning with "." or "'" is
# no request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")

# One line at a time, as plain text: a CMake list would take the text's ";" and "[" as its own.
macro(next_line)
    string(FIND "${help}" "\n" end)
    string(SUBSTRING "${help}" 0 ${end} line)
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${help}" ${end} -1 help)
endmacro()

string(TOUPPER ${NAME} title)
set(page ".TH ${title} 1 \"\" \"kvlog ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\n${NAME} \\- ${SUMMARY}\n")
next_line()
string(REGEX REPLACE "^Usage: " "" line "${line}")
string(APPEND page ".SH SYNOPSIS\n${line}\n.SH DESCRIPTION\n")
set(kept OFF) # inside a block whose layout is kept
set(paragraph OFF)
while(NOT help STREQUAL "")
    next_line()
    if(line MATCHES "^ " AND NOT kept)
        string(APPEND page ".PP\n.nf\n")
        set(kept ON)
    elseif(NOT line MATCHES "^ " AND kept)
        string(APPEND page ".fi\n")
        set(kept OFF)
    endif()
    if(line STREQUAL "")
        set(paragraph OFF)
    elseif(kept)
        string(APPEND page "${line}\n")
    elseif(line MATCHES "^([A-Za-z]+):$")
        string(APPEND page ".SS ${CMAKE_MATCH_1}\n")
        set(paragraph ON)
    else()
        if(NOT paragraph)
            string(APPEND page ".PP\n")
            set(paragraph ON)
        endif()
        string(REGEX REPLACE "^([.'])" "\\\\&\\1" line "${line}")
        string(APPEND page "${line}\n")
    endif()
endwhile()
if(kept)
    string(APPEND page ".fi\n")
endif()

string(REGEX REPLACE "\\.gz$" "" plain ${OUTPUT})
file(WRITE ${plain} "${page}")
execute_process(COMMAND ${GZIP} -9nf ${plain} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${GZIP} failed on ${plain}")
endif()
