# Warnings as errors and the sanitizers, set once for every target of the project.

function(kvlog_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion -Werror)
endfunction()

if(KVLOG_SANITIZE)
    add_compile_options(-fsanitize=${KVLOG_SANITIZE} -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${KVLOG_SANITIZE})
endif()

if(WIN32)
    # Self-contained binaries: no MinGW runtime DLLs beside them under Wine or on a target machine.
    add_link_options(-static -static-libgcc -static-libstdc++)
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()
