// Programs started beside the running one and stopped again (a server that a test talks to, a
// program whose whole life a test watches).
#pragma once

#include "CString.h"

#include <cstdint>
#include <vector>

namespace os
{
using ChildProcess = std::intptr_t;
constexpr ChildProcess kNoChildProcess = 0;

// What became of a program awaited with a deadline.
struct ChildOutcome
{
    bool ended = false;  // false: still running at the deadline, and killed then
    bool normal = false; // ended by returning or exit, not by a signal or an unhandled exception
    int exitCode = -1;   // POSIX: 128 and the signal's number when a signal ended it
};

// Starts the program with the arguments (no shell takes part), its standard streams on the null
// device, and returns at once; false when it cannot be started. The child may be
// kNoChildProcess even so: Wine starts a Unix program without giving a handle to it.
bool StartChildProcess(const char* programPath, const std::vector<CString>& arguments,
                       ChildProcess& child);
// As StartChildProcess, but in the working folder, with this program's standard streams (Windows:
// its console; streams redirected elsewhere are not handed on).
bool StartChildProcessIn(const char* workingFolder, const char* programPath,
                         const std::vector<CString>& arguments, ChildProcess& child);
// Asks the program to end (POSIX: SIGTERM; Windows: it is terminated) and waits at most the given
// time; a program still running then is killed. The handle is released; none does nothing.
void StopChildProcess(ChildProcess child, unsigned long milliseconds);
// Waits at most the given time for the program to end; a program still running then is killed.
// The handle is released; none gives the outcome of a program that did not end.
ChildOutcome AwaitChildProcess(ChildProcess child, unsigned long milliseconds);
} // namespace os
