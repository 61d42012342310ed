// Programs started beside the running one and stopped again (a server that a test talks to).
#pragma once

#include "CString.h"

#include <cstdint>
#include <vector>

namespace os
{
using ChildProcess = std::intptr_t;
constexpr ChildProcess kNoChildProcess = 0;

// Starts the program with the arguments (no shell takes part), its standard streams on the null
// device, and returns at once; false when it cannot be started. The child may be
// kNoChildProcess even so: Wine starts a Unix program without giving a handle to it.
bool StartChildProcess(const char* programPath, const std::vector<CString>& arguments,
                       ChildProcess& child);
// Asks the program to end (POSIX: SIGTERM; Windows: it is terminated) and waits at most the given
// time; a program still running then is killed. The handle is released; none does nothing.
void StopChildProcess(ChildProcess child, unsigned long milliseconds);
} // namespace os
