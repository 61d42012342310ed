#include "WindowsInclude.h"

#include "OsThread.h"

#include <new>

namespace os
{
namespace
{
struct ThreadStart
{
    ThreadProc proc;
    void* argument;
    HMODULE module;
};

DWORD WINAPI RunThread(void* start)
{
    const ThreadStart run = *static_cast<ThreadStart*>(start);
    delete static_cast<ThreadStart*>(start);
    run.proc(run.argument);
    // Frees the reference and ends the thread without returning into the module, which this
    // may unload.
    ::FreeLibraryAndExitThread(run.module, 0);
    return 0;
}

// A reference to the module that holds this code, taken by the starting thread, so that the
// module cannot go before the new thread has even begun.
HMODULE ReferenceOwnModule()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                         reinterpret_cast<LPCSTR>(&RunThread), &module);
    return module;
}
} // namespace

ThreadHandle StartThread(ThreadProc proc, void* argument)
{
    auto* start = new (std::nothrow) ThreadStart{proc, argument, ReferenceOwnModule()};
    if (start == nullptr || start->module == nullptr)
    {
        delete start;
        return 0;
    }
    HANDLE thread = ::CreateThread(nullptr, 0, &RunThread, start, 0, nullptr);
    if (thread == nullptr)
    {
        ::FreeLibrary(start->module);
        delete start;
        return 0;
    }
    return reinterpret_cast<ThreadHandle>(thread);
}

bool CanAwaitThreadEnd()
{
    return false;
}

bool HasThreadEnded(ThreadHandle thread)
{
    return thread != 0 &&
           ::WaitForSingleObject(reinterpret_cast<HANDLE>(thread), 0) == WAIT_OBJECT_0;
}

void ReleaseThread(ThreadHandle thread, bool)
{
    if (thread != 0)
        ::CloseHandle(reinterpret_cast<HANDLE>(thread));
}

void RegisterForkHandlers(void (*)(), void (*)(), void (*)()) {}
} // namespace os
