#include "controller/CLiveComponents.h"

#include "CMutex.h"
#include "InstallationFacts.h"
#include "OsThread.h"
#include "controller/CLogControl.h"

#include <algorithm>
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
} // namespace

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

// In the module's lock order: the set (held until after the fork, so no component comes or
// goes), every component's lock, the controller's locks, the suite-root cache. No thread holds
// two component locks, so taking them in any order cannot deadlock.
void CLiveComponents::PrepareFork()
{
    LockSet& set = Locks();
    set.mutex.lock();
    for (CMutex* componentLock : set.locks)
        componentLock->Lock();
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->LockForFork();
    LockSuiteRootCacheForFork();
}

void CLiveComponents::AfterForkInParent()
{
    LockSet& set = Locks();
    UnlockSuiteRootCacheAfterFork();
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->UnlockAfterFork(false);
    for (CMutex* componentLock : set.locks)
        componentLock->Unlock();
    set.mutex.unlock();
}

void CLiveComponents::AfterForkInChild()
{
    LockSet& set = Locks();
    UnlockSuiteRootCacheAfterFork();
    if (CLogControl* controller = CLogControl::PeekInstance())
        controller->UnlockAfterFork(true);
    for (CMutex* componentLock : set.locks)
        componentLock->ReleaseAfterFork();
    set.mutex.unlock();
}
