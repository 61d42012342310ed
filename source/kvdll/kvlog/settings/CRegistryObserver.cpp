#include "settings/CRegistryObserver.h"

#include "OsDebugOutput.h"
#include "PathOperations.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

struct CRegistryObserver::Run
{
    CRegistryObserver* owner = nullptr;
    std::mutex fileObserverMutex; // innermost; never held across a notification
    CULFileObserver fileObserver;
    std::atomic<int> suspended{0};
    std::atomic<int> stopRequest{0};
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool ended = false; // guarded by wakeMutex

    bool PollFile()
    {
        std::lock_guard<std::mutex> lock(fileObserverMutex);
        return fileObserver.HasChanged() != 0;
    }
    // The baseline moves only to the write time that this program has accounted for, so that
    // a change made by anybody else in the meantime is still reported at the next poll.
    void UpdateBaseline()
    {
        std::lock_guard<std::mutex> lock(fileObserverMutex);
        if (fileObserver.IsOpen() && IsKnownTime(CurrentTime()))
            fileObserver.Update();
    }
    bool IsFileKnown()
    {
        std::lock_guard<std::mutex> lock(fileObserverMutex);
        return IsKnownTime(CurrentTime());
    }
    // A deleted file (time zero) is never known.
    bool IsKnownTime(const FILETIME& time) const
    {
        return (time.dwLowDateTime != 0 || time.dwHighDateTime != 0) &&
               IsSameTime(time, knownWriteTime);
    }
    void NoteFileKnown()
    {
        std::lock_guard<std::mutex> lock(fileObserverMutex);
        knownWriteTime = CurrentTime();
    }
    bool IsFileAsObserved()
    {
        std::lock_guard<std::mutex> lock(fileObserverMutex);
        const FILETIME current = CurrentTime();
        return IsSameTime(current, fileObserver.GetLastWriteTime()) || IsKnownTime(current);
    }
    FILETIME CurrentTime() const
    {
        return CULFileObserver::GetFileWriteTime(fileObserver.GetPath());
    }
    static bool IsSameTime(const FILETIME& first, const FILETIME& second)
    {
        return first.dwLowDateTime == second.dwLowDateTime &&
               first.dwHighDateTime == second.dwHighDateTime;
    }

    FILETIME knownWriteTime{0, 0}; // guarded by fileObserverMutex
};

namespace
{
// The run of the watch thread that executes; null on every other thread.
thread_local std::atomic<int>* t_stopRequest = nullptr;
} // namespace

CRegistryObserver::~CRegistryObserver()
{
    StopObserving();
    WaitForStoppedThreads();
}

bool CRegistryObserver::IsStopRequested()
{
    return t_stopRequest != nullptr && t_stopRequest->load() != 0;
}

bool CRegistryObserver::IsWatchThread()
{
    return t_stopRequest != nullptr;
}

int CRegistryObserver::StartObserving(const char* path)
{
    if (m_run != nullptr)
        return 0;
    const CString normalized = NormalizePath(path);
    if (!FileExists(normalized))
        return 0;
    std::shared_ptr<Run> run;
    try
    {
        run = std::make_shared<Run>();
    }
    catch (...)
    {
        return 0;
    }
    run->owner = this;
    if (!run->fileObserver.Open(normalized))
        return 0;
    // The thread holds its own reference: a thread let go on stop may outlive this observer.
    auto* threadReference = new (std::nothrow) std::shared_ptr<Run>(run);
    const os::ThreadHandle thread =
        threadReference != nullptr ? os::StartThread(&ThreadMain, threadReference) : 0;
    if (thread == 0)
    {
        delete threadReference;
        return 0;
    }
    m_thread = thread;
    m_run = run;
    return 1;
}

void CRegistryObserver::StopObserving()
{
    if (m_run == nullptr)
        return;
    std::shared_ptr<Run> run = std::move(m_run);
    const os::ThreadHandle thread = m_thread;
    m_thread = 0;
    {
        std::lock_guard<std::mutex> lock(run->wakeMutex);
        run->stopRequest = 1;
    }
    run->wake.notify_all();
    if (os::IsProcessEnding())
        return; // the system has ended the thread; its handle goes with the process
    if (!os::CanAwaitThreadEnd())
    {
        os::ReleaseThread(thread, false);
        RememberStoppedRun(run);
        return;
    }
    const bool ended = WaitForRunEnd(*run);
    os::ReleaseThread(thread, ended);
}

void CRegistryObserver::RememberStoppedRun(const std::shared_ptr<Run>& run)
{
    try
    {
        m_stoppedRuns.push_back(run);
    }
    catch (...)
    {
        // Out of memory: this run goes unawaited at the owner's deletion.
    }
}

void CRegistryObserver::WaitForStoppedThreads()
{
    if (!os::IsProcessEnding())
        for (const std::shared_ptr<Run>& run : m_stoppedRuns)
            WaitForRunEnd(*run);
    m_stoppedRuns.clear();
}

bool CRegistryObserver::WaitForRunEnd(Run& run)
{
    std::unique_lock<std::mutex> lock(run.wakeMutex);
    if (run.wake.wait_for(lock, std::chrono::milliseconds(kStopWaitMilliseconds),
                          [&] { return run.ended; }))
        return true;
    os::OutputDebugStringA("kvlog: the settings watch thread is slow to end; it is let go\n");
    return false;
}

void CRegistryObserver::ForgetObservingAfterFork()
{
    m_run.reset();
    m_thread = 0;
}

int CRegistryObserver::SuspendObserving()
{
    int expected = 0;
    return m_run != nullptr && m_run->suspended.compare_exchange_strong(expected, 1) ? 1 : 0;
}

int CRegistryObserver::ResumeObserving()
{
    if (m_run == nullptr || !m_run->suspended.load())
        return 0;
    m_run->UpdateBaseline();
    m_run->suspended = 0;
    return 1;
}

void CRegistryObserver::NoteSettingsFileKnown()
{
    if (m_run != nullptr)
        m_run->NoteFileKnown();
}

bool CRegistryObserver::IsSettingsFileAsObserved()
{
    return m_run == nullptr || m_run->IsFileAsObserved();
}

bool CRegistryObserver::IsSettingsFileKnown()
{
    return m_run != nullptr && m_run->IsFileKnown();
}

void CRegistryObserver::ThreadMain(void* argument)
{
    std::shared_ptr<Run> run = std::move(*static_cast<std::shared_ptr<Run>*>(argument));
    delete static_cast<std::shared_ptr<Run>*>(argument);
    t_stopRequest = &run->stopRequest;
    run->owner->WatchLoop(*run);
    t_stopRequest = nullptr;
    std::lock_guard<std::mutex> lock(run->wakeMutex);
    run->ended = true;
    run->wake.notify_all();
}

// The owner is touched only for notifications, and only while the run is not asked to stop: a
// stop is requested under the owner's lock, which every notification takes first.
void CRegistryObserver::WatchLoop(Run& run)
{
    std::unique_lock<std::mutex> wakeLock(run.wakeMutex);
    while (!run.stopRequest.load())
    {
        wakeLock.unlock();
        if (run.PollFile())
        {
            if (!run.suspended.load() && !run.stopRequest.load())
            {
                ++m_notificationsBegun;
                OnSettingsFileChanged();
            }
            // After the notification, so that the reload's own write is not reported.
            run.UpdateBaseline();
        }
        wakeLock.lock();
        run.wake.wait_for(wakeLock, std::chrono::milliseconds(kPollIntervalMilliseconds),
                          [&] { return run.stopRequest.load() != 0; });
    }
}
