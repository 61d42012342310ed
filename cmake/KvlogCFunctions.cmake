# The names of the C interface's functions, read from its header: every kvlog_ name that follows
# KVLOG_CALL in a declaration (function pointer types have a "*" there and are left out).
function(kvlog_c_functions header result)
    file(READ ${header} text)
    string(REGEX MATCHALL "KVLOG_CALL[ \t\r\n]+kvlog_[a-z0-9_]+" declarations "${text}")
    set(names)
    foreach(declaration IN LISTS declarations)
        string(REGEX REPLACE "^KVLOG_CALL[ \t\r\n]+" "" name "${declaration}")
        list(APPEND names ${name})
    endforeach()
    list(REMOVE_DUPLICATES names)
    list(SORT names)
    set(${result} ${names} PARENT_SCOPE)
endfunction()
