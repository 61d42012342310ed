// Facts of the running process and the start of other programs.
#pragma once

#include "CString.h"
#include "FrameworkTypes.h"

namespace os
{
// The kernel's identifier of the calling thread.
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();
// The command line; on POSIX the arguments of /proc/self/cmdline joined by single blanks.
CString GetCommandLineA();
// The file of a module (an address inside it), or of the program when module is null. Fails,
// returning false and leaving path empty, when the name does not fit bufferSize characters.
bool GetModuleFileNameA(const void* module, CString& path, DWORD bufferSize = MAX_PATH);
// Runs a program with arguments, waits for it and returns all it wrote to its standard output.
bool RunProcessCaptureOutput(const char* commandLine, CString& output);
} // namespace os
