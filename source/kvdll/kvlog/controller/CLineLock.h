// A component's lock as a logging call takes it. While a fork gathers the module's locks, a
// thread that holds none of them waits a moment before it takes one, so that threads logging
// without pause cannot keep the fork from ever finding every lock free; a thread that holds one
// already (a sink logging from inside a callback) goes on, since the fork waits for that lock.
#pragma once

class CMutex;

class CLineLock
{
public:
    explicit CLineLock(CMutex& lock);
    CLineLock(const CLineLock&) = delete;
    CLineLock& operator=(const CLineLock&) = delete;
    ~CLineLock();

private:
    CMutex& m_lock;
};
