// Watches the settings file with a polling thread and reports changes of its last write time.
//
// The watch thread is never terminated forcibly: killing a thread can leave a lock held or an
// allocation half done, and POSIX has no safe way to do it at all. Instead the thread sleeps on a
// condition variable, so a stop request wakes it at once, and a notification that needs the
// owner's lock must acquire it with TryLock in short steps, giving up as soon as
// IsStopRequested() says so. StopObserving may therefore be called with that lock held: the
// thread notices the request within one step and ends, and the join cannot deadlock.
#pragma once

#include "CString.h"
#include "CULFileObserver.h"
#include "FrameworkTypes.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

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
    void StopObserving();
    // 1 when this call changed the state. Changes seen while suspended are swallowed; resuming
    // takes the file's current write time as the baseline.
    int SuspendObserving();
    int ResumeObserving();
    bool IsObserving() const { return m_running.load() != 0; }

protected:
    // Called on the watch thread for every change while not suspended.
    virtual void OnSettingsFileChanged() = 0;
    bool IsStopRequested() const { return m_stopRequest.load() != 0; }
    // Notifications begun so far (tests wait on it for a notification to be under way).
    int GetNotificationsBegun() const { return m_notificationsBegun.load(); }

private:
    static constexpr DWORD kPollIntervalMilliseconds = 1000;
    static constexpr DWORD kStopWaitMilliseconds = 5000;

    void WatchLoop();
    bool PollFile();
    void UpdateBaseline();
    void WaitForThreadEnd();

    CString m_path;
    CULFileObserver m_fileObserver;
    std::mutex m_fileObserverMutex; // innermost; never held across a notification
    std::thread m_thread;
    std::atomic<DWORD> m_threadId{0};
    std::atomic<int> m_running{0};
    std::atomic<int> m_suspended{0};
    std::atomic<int> m_stopRequest{0};
    std::atomic<int> m_notificationsBegun{0};
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    bool m_threadEnded = false; // guarded by m_wakeMutex
};
