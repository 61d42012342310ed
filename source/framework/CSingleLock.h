// Scoped hold of one synchronisation object, waiting without limit; released on destruction.
#pragma once

#include "CMutex.h"

class CSingleLock
{
public:
    explicit CSingleLock(CSyncObject* object, bool initialLock = false) : m_object(object)
    {
        if (initialLock)
            Lock();
    }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;
    ~CSingleLock() { Unlock(); }

    void Lock()
    {
        if (m_object != nullptr && !m_locked)
        {
            m_object->Lock();
            m_locked = true;
        }
    }
    void Unlock()
    {
        if (m_locked)
        {
            m_object->Unlock();
            m_locked = false;
        }
    }
    bool IsLocked() const { return m_locked; }

private:
    CSyncObject* m_object;
    bool m_locked = false;
};
