#include "OsThread.h"

#include <new>
#include <pthread.h>

namespace os
{
namespace
{
struct ThreadStart
{
    ThreadProc proc;
    void* argument;
};

void* RunThread(void* start)
{
    const ThreadStart run = *static_cast<ThreadStart*>(start);
    delete static_cast<ThreadStart*>(start);
    run.proc(run.argument);
    return nullptr;
}
} // namespace

ThreadHandle StartThread(ThreadProc proc, void* argument)
{
    auto* start = new (std::nothrow) ThreadStart{proc, argument};
    pthread_t thread{};
    if (start == nullptr)
        return 0;
    if (::pthread_create(&thread, nullptr, &RunThread, start) != 0)
    {
        delete start;
        return 0;
    }
    return static_cast<ThreadHandle>(thread);
}

bool CanAwaitThreadEnd()
{
    return true;
}

bool HasThreadEnded(ThreadHandle)
{
    return false;
}

void ReleaseThread(ThreadHandle thread, bool waitForEnd)
{
    if (thread == 0)
        return;
    if (waitForEnd)
        ::pthread_join(static_cast<pthread_t>(thread), nullptr);
    else
        ::pthread_detach(static_cast<pthread_t>(thread));
}

void RegisterForkHandlers(void (*prepare)(), void (*parent)(), void (*child)())
{
    ::pthread_atfork(prepare, parent, child);
}
} // namespace os
