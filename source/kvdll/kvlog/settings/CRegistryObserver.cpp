#include "settings/CRegistryObserver.h"

#include "OsDebugOutput.h"
#include "OsProcess.h"
#include "PathOperations.h"

#include <chrono>

CRegistryObserver::~CRegistryObserver()
{
    StopObserving();
}

int CRegistryObserver::StartObserving(const char* path)
{
    if (m_running.load())
        return 0;
    m_path = NormalizePath(path);
    if (!FileExists(m_path))
        return 0;
    {
        std::lock_guard<std::mutex> lock(m_fileObserverMutex);
        if (!m_fileObserver.Open(m_path))
            return 0;
    }
    m_stopRequest = 0;
    m_running = 1;
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        m_threadEnded = false;
    }
    try
    {
        m_thread = std::thread(&CRegistryObserver::WatchLoop, this);
    }
    catch (...)
    {
        // No thread: undo everything, so that a later start can try again.
        m_path.Empty();
        std::lock_guard<std::mutex> lock(m_fileObserverMutex);
        m_fileObserver.Close();
        m_running = 0;
        return 0;
    }
    return 1;
}

void CRegistryObserver::StopObserving()
{
    if (!m_running.load())
        return;
    m_suspended = 0;
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        m_stopRequest = 1;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
    {
        WaitForThreadEnd();
        m_thread.join();
    }
    m_stopRequest = 0;
    m_threadId = 0;
    m_running = 0;
}

int CRegistryObserver::SuspendObserving()
{
    int expected = 0;
    return m_running.load() && m_suspended.compare_exchange_strong(expected, 1) ? 1 : 0;
}

int CRegistryObserver::ResumeObserving()
{
    if (!m_running.load() || !m_suspended.load())
        return 0;
    UpdateBaseline();
    m_suspended = 0;
    return 1;
}

void CRegistryObserver::WatchLoop()
{
    m_threadId = os::GetCurrentThreadId();
    std::unique_lock<std::mutex> wakeLock(m_wakeMutex);
    while (!m_stopRequest.load())
    {
        wakeLock.unlock();
        if (PollFile())
        {
            if (!m_suspended.load())
            {
                ++m_notificationsBegun;
                OnSettingsFileChanged();
            }
            // The baseline moves after the notification, so its own writes are not reported.
            UpdateBaseline();
        }
        wakeLock.lock();
        m_wake.wait_for(wakeLock, std::chrono::milliseconds(kPollIntervalMilliseconds),
                        [this] { return m_stopRequest.load() != 0; });
    }
    m_threadEnded = true;
    m_wake.notify_all();
}

bool CRegistryObserver::PollFile()
{
    std::lock_guard<std::mutex> lock(m_fileObserverMutex);
    return m_fileObserver.HasChanged() != 0;
}

void CRegistryObserver::UpdateBaseline()
{
    std::lock_guard<std::mutex> lock(m_fileObserverMutex);
    if (m_fileObserver.IsOpen())
        m_fileObserver.Update();
}

// A notification still running after the wait is reported, then awaited: ending it by force
// could leave the owner's state half changed.
void CRegistryObserver::WaitForThreadEnd()
{
    std::unique_lock<std::mutex> lock(m_wakeMutex);
    if (!m_wake.wait_for(lock, std::chrono::milliseconds(kStopWaitMilliseconds),
                         [this] { return m_threadEnded; }))
        os::OutputDebugStringA("kvlog: the settings watch thread is slow to end; waiting for it\n");
}
