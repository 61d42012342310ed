// Facts of the running process and the start of other programs.
#pragma once

#include "CString.h"
#include "FrameworkTypes.h"

#include <vector>

namespace os
{
// The kernel's identifier of the calling thread.
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();
// The command line; on POSIX the arguments of /proc/self/cmdline joined by single blanks.
CString GetCommandLineA();
// What a program's default name is read from. A Windows command line starts with the program's
// file and its extension; a POSIX one holds free-form arguments and programs rarely have an
// extension, so there the name comes from the program file alone.
enum class ApplicationNameSource
{
    kCommandLine,
    kProgramFile
};
extern const ApplicationNameSource kApplicationNameSource;
// The file of a module (an address inside it), or of the program when module is null. Fails,
// returning false and leaving path empty, when the name does not fit bufferSize characters.
bool GetModuleFileNameA(const void* module, CString& path, DWORD bufferSize = MAX_PATH);
// Starts the program with the arguments and no standard input, and collects everything it writes
// to standard output and standard error until it closes them. No shell takes part. False when it
// cannot be started. When the exit code is asked for, the program's end is awaited as well
// (-1 when it did not exit normally).
bool RunProgramCaptureOutput(const char* programPath, CString& output,
                             const std::vector<CString>& arguments = {}, int* exitCode = nullptr);

// Whether standard output is a terminal that shows colour escape sequences; on Windows the
// console is switched to take them.
bool EnableTerminalColours();
} // namespace os
