// Unnamed, process-local, recursive mutex: the owning thread may lock it again without blocking.
#pragma once

#include "CObject.h"

#include <chrono>
#include <mutex>
#include <new>
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
    // In the child of a fork, for a lock that the forking thread held across the fork: the
    // child's thread has a new identity, so it no longer owns the lock and must make it anew.
    void ReleaseAfterFork()
    {
        m_mutex.unlock();
        new (&m_mutex) std::recursive_mutex();
    }
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
