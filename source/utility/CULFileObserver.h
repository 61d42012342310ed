// Remembers one file's last write time and tells whether it has changed since, in either
// direction (a deleted file reads as time zero, which counts as a change).
#pragma once

#include "../framework/CString.h"
#include "../framework/FrameworkTypes.h"

class CULFileObserver
{
public:
    CULFileObserver() = default;
    CULFileObserver(const CULFileObserver&) = delete;
    CULFileObserver& operator=(const CULFileObserver&) = delete;
    virtual ~CULFileObserver();

    // 0 when already open; otherwise remembers the path and its current write time.
    int Open(const char* path);
    // Forgets the path; the remembered time stays.
    void Close();
    int IsOpen() const { return m_path.IsEmpty() ? 0 : 1; }
    int HasChanged() const;
    // Takes the file's current write time as the new baseline; 0 when closed.
    int Update();
    CString GetPath() const { return m_path; }
    FILETIME GetLastWriteTime() const { return m_lastWriteTime; }

    // The write time of the directory entry; zero when nothing is found.
    static FILETIME GetFileWriteTime(const char* path);

private:
    FILETIME m_lastWriteTime{0, 0};
    CString m_path;
};
