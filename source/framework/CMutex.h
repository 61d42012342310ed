// Unnamed, process-local, recursive mutex: the owning thread may lock it again without blocking.
#pragma once

#include "CObject.h"

#include <chrono>
#include <mutex>
#include <thread>

class CSyncObject : public CObject
{
public:
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};

class CMutex : public CSyncObject
{
public:
    CMutex() = default;
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    void Lock() override { m_mutex.lock(); }
    void Unlock() override { m_mutex.unlock(); }
    // Waits at most the given time; true when the lock is now held. Polls in 1 ms steps rather
    // than using a timed mutex, whose clock-based wait the thread sanitizer cannot follow.
    bool TryLock(unsigned long milliseconds)
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (!m_mutex.try_lock())
        {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

private:
    std::recursive_mutex m_mutex;
};
