// The locks of the live components. A component joins before it first reaches the controller
// and leaves before it takes its own lock for the last time, so an empty set means no thread can
// reach the controller any more (the module frees it at unload only then), and the fork handlers
// can hold every lock of the module across a fork: a child of a process whose other threads log
// then finds no lock held by a thread it does not have.
#pragma once

class CMutex;

class CLiveComponents
{
public:
    CLiveComponents() = delete;

    static void Join(CMutex* componentLock);
    static void Leave(CMutex* componentLock);
    // Runs the action with the set held when no component is alive; true when it ran.
    template <typename Action> static bool RunIfEmpty(Action action)
    {
        LockSetMutex();
        const bool empty = IsEmptyLocked();
        if (empty)
            action();
        UnlockSetMutex();
        return empty;
    }
    // Registers the fork handlers once per process (module load).
    static void InstallForkHandlers();
    // While a fork gathers the module's locks: waits until it has them, at most a few
    // milliseconds (see CLineLock).
    static void AwaitFork();

private:
    static void LockSetMutex();
    static void UnlockSetMutex();
    static bool IsEmptyLocked();
    static void PrepareFork();
    // Takes every lock of the module without waiting; false, with none held, when one is busy.
    static bool TryLockAllForFork();
    static void AfterForkInParent();
    static void AfterForkInChild();
};
