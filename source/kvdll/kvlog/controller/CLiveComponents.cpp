#include "controller/CLiveComponents.h"

#include "CMutex.h"
#include "InstallationFacts.h"
#include "OsDebugOutput.h"
#include "OsThread.h"
#include "OsTime.h"
#include "controller/CLogControl.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace
{
// Never destroyed: components of other modules may join and leave while this module's static
// objects are being destroyed.
struct LockSet
{
    std::mutex mutex;
    std::vector<CMutex*> locks;
};

LockSet& Locks()
{
    static LockSet* set = new LockSet();
    return *set;
}

// Set from the start of a fork's preparation until the fork has happened.
std::atomic<bool> g_forking{false};
// A fork still gathering the locks after this long lets the lines through again.
const int kForkWaitMilliseconds = 20;
} // namespace

void CLiveComponents::AwaitFork()
{
    for (int waited = 0;
         g_forking.load(std::memory_order_relaxed) && waited < kForkWaitMilliseconds; ++waited)
        os::Sleep(1);
}

void CLiveComponents::Join(CMutex* componentLock)
{
    LockSet& set = Locks();
    std::lock_guard<std::mutex> lock(set.mutex);
    try
    {
        set.locks.push_back(componentLock);
    }
    catch (...)
    {
        // Out of memory: this component goes unguarded across a fork.
    }
}

void CLiveComponents::Leave(CMutex* componentLock)
{
    LockSet& set = Locks();
    std::lock_guard<std::mutex> lock(set.mutex);
    const auto found = std::find(set.locks.begin(), set.locks.end(), componentLock);
    if (found != set.locks.end())
        set.locks.erase(found);
}

void CLiveComponents::LockSetMutex()
{
    Locks().mutex.lock();
}

void CLiveComponents::UnlockSetMutex()
{
    Locks().mutex.unlock();
}

bool CLiveComponents::IsEmptyLocked()
{
    return Locks().locks.empty();
}

void CLiveComponents::InstallForkHandlers()
{
    static std::once_flag installed;
    std::call_once(
        installed,
        [] { os::RegisterForkHandlers(&PrepareFork, &AfterForkInParent, &AfterForkInChild); });
}

// Holds the set (so that no component comes or goes), every component's lock, the controller's
// locks, the suite-root cache and the debugger output. Threads take these in another order than
// any fixed one (a sink called under a component's lock creates a component, which joins the
// set), so each is only tried: when one is held, all are let go and taken again a moment later,
// and the fork waits for that thread to finish its line as it would wait for a lock.
void CLiveComponents::PrepareFork()
{
    g_forking = true;
    while (!TryLockAllForFork())
        os::Sleep(1);
}

bool CLiveComponents::TryLockAllForFork()
{
    LockSet& set = Locks();
    set.mutex.lock();
    std::size_t held = 0;
    while (held < set.locks.size() && set.locks[held]->TryLock(0))
        ++held;
    CLogControl* controller = CLogControl::PeekInstance();
    if (held == set.locks.size() && (controller == nullptr || controller->TryLockForFork()))
    {
        if (TryLockSuiteRootCacheForFork())
        {
            if (os::TryLockDebugOutputForFork())
                return true;
            UnlockSuiteRootCacheAfterFork();
        }
        if (controller != nullptr)
            controller->UnlockAfterFork(false);
    }
    for (std::size_t index = 0; index < held; ++index)
        set.locks[index]->Unlock();
    set.mutex.unlock();
    return false;
}

void CLiveComponents::AfterForkInParent()
{
    LockSet& set = Locks();
    os::UnlockDebugOutputAfterFork();
    UnlockSuiteRootCacheAfterFork();
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->UnlockAfterFork(false);
    for (CMutex* componentLock : set.locks)
        componentLock->Unlock();
    set.mutex.unlock();
    g_forking = false;
}

void CLiveComponents::AfterForkInChild()
{
    LockSet& set = Locks();
    os::UnlockDebugOutputAfterFork();
    UnlockSuiteRootCacheAfterFork();
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->UnlockAfterFork(true);
    for (CMutex* componentLock : set.locks)
        componentLock->ReleaseAfterFork();
    set.mutex.unlock();
    g_forking = false;
}
