#include "controller/CLineLock.h"

#include "CMutex.h"
#include "controller/CLiveComponents.h"

namespace
{
// Component locks this thread holds through CLineLock.
thread_local int t_held = 0;
} // namespace

CLineLock::CLineLock(CMutex& lock) : m_lock(lock)
{
    if (t_held == 0)
        CLiveComponents::AwaitFork();
    m_lock.Lock();
    ++t_held;
}

CLineLock::~CLineLock()
{
    --t_held;
    m_lock.Unlock();
}
