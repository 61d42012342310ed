// The log file's lines copied into a shared mapping of the file instead of written to it: a line
// costs a copy and no system call, and is in the system's page cache, safe from a killed process,
// when the call returns. The file grows a chunk at a time with its blocks allocated, so while it
// is open a reader sees zeros past the last line; stopping cuts it back to its true end.
//
// Called under the controller's lock, like the file; only FlushToDevice runs on the flush
// thread, and a lock of the writer's own keeps it off a window that is being replaced.
#pragma once

#include "CFile.h"
#include "OsFileMapping.h"

#include <cstddef>
#include <cstdint>
#include <mutex>

class CMappedLogWriter
{
public:
    // The step by which the file grows (its length while open is a multiple); a multiple of every
    // system's window alignment.
    static const std::size_t kChunk = 1024 * 1024;

    CMappedLogWriter() = default;
    CMappedLogWriter(const CMappedLogWriter&) = delete;
    CMappedLogWriter& operator=(const CMappedLogWriter&) = delete;
    ~CMappedLogWriter() { Stop(); }

    // Takes the open file, whose lines end at end; false, with the file cut back to end, when
    // the system maps none of it. The file must stay open until Stop.
    bool Start(CFile& file, std::uint64_t end);
    bool IsStarted() const { return m_file != nullptr; }
    // Copies the text behind the last; false, with nothing of it kept, when the file cannot grow
    // (disk full, or growing would cross the process's file size limit) or no window can be
    // mapped, or in the child of a fork. A file that another program shortened is noticed (one
    // notice each time) and written on from its new end.
    bool Write(const char* text, std::size_t length);
    // Unmaps the window and cuts the file to its true end, where a direct write goes on.
    void Stop();
    // In the child of a fork: the file's end is the parent's, which goes on writing it, so the
    // child takes no more text and leaves the file's length alone.
    void LeaveToParent();
    std::uint64_t GetEnd() const { return m_end; }
    const os::FileWindow& GetWindow() const { return m_window; }

    // The flush of the device: the window's pages, then the file (which holds the pages of the
    // windows before it). For CLogFileFlusher, with the writer as target.
    static bool FlushToDevice(void* writer);

private:
    // Maps a window from the end on that holds length more bytes.
    bool MoveWindow(std::size_t length);
    // After a copy went to memory of no file: the end moves back to the file's new end, and the
    // next copy maps a window there.
    void GoOnAtShortenedEnd();
    void SetFile(CFile* file);
    std::unique_lock<std::mutex> LockWindow();

    CFile* m_file = nullptr;
    os::FileWindow m_window;
    std::uint64_t m_end = 0;
    bool m_leftToParent = false;
    std::mutex m_windowLock;
};
