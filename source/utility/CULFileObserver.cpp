#include "CULFileObserver.h"

#include "OsFileSystem.h"
#include "OsTime.h"
#include "PathOperations.h"

CULFileObserver::~CULFileObserver()
{
    if (IsOpen())
        Close();
}

int CULFileObserver::Open(const char* path)
{
    if (IsOpen())
        return 0;
    // The time is taken of the normalised path, so that "file/" and "file" observe alike.
    m_path = NormalizePath(path);
    m_lastWriteTime = GetFileWriteTime(m_path);
    return 1;
}

void CULFileObserver::Close()
{
    m_path.Empty();
}

int CULFileObserver::HasChanged() const
{
    if (!IsOpen())
        return 0;
    const FILETIME now = GetFileWriteTime(m_path);
    return os::CompareFileTime(&now, &m_lastWriteTime) != 0 ? 1 : 0;
}

int CULFileObserver::Update()
{
    if (!IsOpen())
        return 0;
    m_lastWriteTime = GetFileWriteTime(m_path);
    return 1;
}

FILETIME CULFileObserver::GetFileWriteTime(const char* path)
{
    FILETIME time{0, 0};
    if (path == nullptr || !os::GetFileLastWriteTime(path, &time))
        time = FILETIME{0, 0};
    return time;
}
