// Unnamed, process-local, recursive mutex: the owning thread may lock it again without blocking.
#pragma once

#include "CObject.h"

#include <mutex>

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

private:
    std::recursive_mutex m_mutex;
};
