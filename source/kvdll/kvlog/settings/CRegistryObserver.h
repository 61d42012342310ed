// Watches the settings file with a polling thread and reports changes of its last write time.
//
// The watch thread is never terminated forcibly: killing a thread can leave a lock held or an
// allocation half done, and POSIX has no safe way to do it at all. Instead the thread sleeps on a
// condition variable, so a stop request wakes it at once, and a notification that needs the
// owner's lock must acquire it with TryLock in short steps, giving up as soon as
// IsStopRequested() says so. StopObserving may therefore be called with that lock held: the
// thread notices the request within one step and ends.
//
// Each start of the thread has a run state of its own, shared by the thread and the observer, so
// a thread that is let go while still ending never touches a later run. Stopping waits a bounded
// time for the thread to finish its loop and never longer: when the process ends with the
// module loaded (the system has ended the thread already) it waits for nothing, and a thread
// still busy after the wait is let go with a notice rather than waited for without end.
#pragma once

#include "CString.h"
#include "CULFileObserver.h"
#include "FrameworkTypes.h"
#include "OsThread.h"

#include <atomic>
#include <memory>
#include <vector>

class CRegistryObserver
{
public:
    CRegistryObserver() = default;
    CRegistryObserver(const CRegistryObserver&) = delete;
    CRegistryObserver& operator=(const CRegistryObserver&) = delete;
    // The owner must stop observing in its own destructor: a notification arriving while the
    // owner is half destroyed would call into a destroyed object.
    virtual ~CRegistryObserver();

    // 1 when the watch thread was started; 0 when already running or the file does not exist.
    int StartObserving(const char* path);
    // Asks the watch thread to end. Where a thread's end may be awaited (POSIX) it waits a
    // bounded time for the thread and joins it; on Windows the thread ends on its own, keeping
    // the module loaded until it has.
    void StopObserving();
    // Before the owner is deleted: waits a bounded time until every thread stopped so far has
    // left its loop, so that none still reaches into the owner.
    void WaitForStoppedThreads();
    // In the child of a fork, which has no watch thread: forgets the parent's without waiting.
    void ForgetObservingAfterFork();
    // 1 when this call changed the state. While suspended no change is reported; resuming, like
    // every poll, moves the baseline only to a write time noted by NoteSettingsFileKnown, so a
    // change made by another program meanwhile is reported at the next poll.
    int SuspendObserving();
    int ResumeObserving();
    // With the settings file held: its current state is this program's own (read and applied,
    // or just written), so that write time is no change to report.
    void NoteSettingsFileKnown();
    // With the settings file held: nobody else has written it since the last poll.
    bool IsSettingsFileAsObserved();
    // The file's write time is the one last noted by NoteSettingsFileKnown.
    bool IsSettingsFileKnown();
    bool IsObserving() const { return m_run != nullptr; }

protected:
    // Called on the watch thread for every change while not suspended.
    virtual void OnSettingsFileChanged() = 0;
    // On the watch thread: true once its run is asked to end.
    static bool IsStopRequested();
    static bool IsWatchThread();
    // Notifications begun so far (tests wait on it for a notification to be under way).
    int GetNotificationsBegun() const { return m_notificationsBegun.load(); }

private:
    struct Run;
    static constexpr DWORD kPollIntervalMilliseconds = 1000;
    static constexpr DWORD kStopWaitMilliseconds = 5000;

    static void ThreadMain(void* run);
    // Waits until the run's thread has left its loop; false after the bounded wait.
    static bool WaitForRunEnd(Run& run);
    void RememberStoppedRun(const std::shared_ptr<Run>& run);
    void WatchLoop(Run& run);

    // The current run, or null while no thread runs; changed only by the owner's threads under
    // the owner's lock (start, stop).
    std::shared_ptr<Run> m_run;
    os::ThreadHandle m_thread = 0;
    // Runs stopped without waiting whose thread may still be ending.
    std::vector<std::shared_ptr<Run>> m_stoppedRuns;
    std::atomic<int> m_notificationsBegun{0};
};
