// Threads of the module's own (the settings watch thread), started and released without a join
// where a join could hang.
//
// On Windows a thread of a DLL cannot end while another thread holds the loader lock (its end
// notifies every DLL under that lock), and DllMain runs under it; so joining there would deadlock.
// A thread started here keeps its module loaded until it has ended and leaves through the call
// that frees that reference and ends the thread in one step, so it is never waited for: the
// module's code stays mapped as long as the thread runs it, whoever unloads the module. On POSIX
// the thread is joined, because unloading a library with a thread still inside it cannot be
// made safe.
#pragma once

#include <cstdint>

namespace os
{
using ThreadProc = void (*)(void* argument);
using ThreadHandle = std::intptr_t;

// Starts proc(argument) on a new thread; 0 when no thread could be started.
ThreadHandle StartThread(ThreadProc proc, void* argument);
// Whether a thread's end may be awaited where the module's code stops its threads: false on
// Windows, where that may be DllMain with the loader lock held.
bool CanAwaitThreadEnd();
// True once the thread is known to have ended. Windows asks the thread's handle, which the
// system also signals for the threads it ends when the process ends; a POSIX thread ends only by
// returning, which its owner learns from the thread itself, so there it is always false.
bool HasThreadEnded(ThreadHandle thread);
// Gives up the handle of a thread that has ended its work or is about to. POSIX: joins when
// waitForEnd, else detaches; Windows: closes the handle and never waits.
void ReleaseThread(ThreadHandle thread, bool waitForEnd);

// Set by the module's entry point when the process ends with the module loaded: the system has
// already ended every other thread then, so nothing may wait for one.
void SetProcessEnding();
bool IsProcessEnding();

// Calls prepare before a fork in the forking thread, parent and child after it in the two
// processes (as pthread_atfork does). No effect where processes do not fork.
void RegisterForkHandlers(void (*prepare)(), void (*parent)(), void (*child)());
} // namespace os
