#include "output/CMappedLogWriter.h"

#include "OsDebugOutput.h"
#include "OsThread.h"

#include <algorithm>
#include <cstring>

namespace
{
// A file shortened again while a copy is retried gives up mapping after so many copies.
const int kCopyAttempts = 3;
const char kShortened[] = "kvlog: another program shortened the mapped log file; its lines go "
                          "on from the file's new end\n";
} // namespace

// A reservation made before the mapping failed would leave zeros behind the lines.
bool CMappedLogWriter::Start(CFile& file, std::uint64_t end)
{
    Stop();
    m_end = end;
    m_leftToParent = false;
    SetFile(&file);
    if (MoveWindow(0))
        return true;
    SetFile(nullptr);
    file.SetLength(end);
    return false;
}

// At a Windows process end the system has ended every other thread, the flush thread perhaps
// while it held the lock, so the lock is neither needed nor to be had.
std::unique_lock<std::mutex> CMappedLogWriter::LockWindow()
{
    if (os::IsProcessEnding())
        return std::unique_lock<std::mutex>();
    return std::unique_lock<std::mutex>(m_windowLock);
}

// The flush thread reads the file under the lock.
void CMappedLogWriter::SetFile(CFile* file)
{
    const std::unique_lock<std::mutex> lock = LockWindow();
    m_file = file;
}

bool CMappedLogWriter::Write(const char* text, std::size_t length)
{
    if (m_file == nullptr || m_leftToParent)
        return false;
    for (int attempt = 0; attempt < kCopyAttempts; ++attempt)
    {
        if (m_end + length > m_window.offset + m_window.size && !MoveWindow(length))
            return false;
        std::memcpy(m_window.data + (m_end - m_window.offset), text, length);
        if (!os::IsFileWindowCut(m_window))
        {
            m_end += length;
            return true;
        }
        GoOnAtShortenedEnd();
    }
    return false;
}

void CMappedLogWriter::GoOnAtShortenedEnd()
{
    os::OutputDebugStringA(kShortened);
    m_end = std::min(m_end, m_file->GetLength());
    const std::unique_lock<std::mutex> lock = LockWindow();
    os::UnmapFileWindow(m_window);
}

// The window starts where the end lies and reaches to the next whole chunk of the file past the
// text, so that the text lands in one piece; the old window is given up only once the new one
// stands.
bool CMappedLogWriter::MoveWindow(std::size_t length)
{
    const std::uint64_t alignment = os::GetFileWindowAlignment();
    const std::uint64_t offset = m_end / alignment * alignment;
    const std::uint64_t fileEnd = (m_end + length) / kChunk * kChunk + kChunk;
    const std::uint64_t size = fileEnd - offset;
    os::FileWindow window;
    // Growing past the limit would raise SIGXFSZ, which ends a program that does not handle it.
    if (size > SIZE_MAX || fileEnd > os::GetFileSizeLimit() ||
        !os::ReserveFileLength(*m_file, fileEnd) ||
        !os::MapFileWindow(*m_file, offset, static_cast<std::size_t>(size), window))
        return false;
    const std::unique_lock<std::mutex> lock = LockWindow();
    os::UnmapFileWindow(m_window);
    m_window = window;
    return true;
}

void CMappedLogWriter::Stop()
{
    CFile* const file = m_file;
    // In the child of a fork the window is gone and the writer takes nothing more; the lock may
    // be held by a thread that stayed with the parent.
    if (file == nullptr || m_leftToParent)
        return;
    {
        const std::unique_lock<std::mutex> lock = LockWindow();
        os::UnmapFileWindow(m_window);
        m_file = nullptr;
    }
    // A file that another program shortened since the last copy is not lengthened again. Windows
    // refuses while another program maps the file; the zeros then stay until it is opened anew.
    m_end = std::min(m_end, file->GetLength());
    file->SetLength(m_end);
    file->Seek(static_cast<std::int64_t>(m_end), CFile::begin);
}

void CMappedLogWriter::LeaveToParent()
{
    // The child's copy of the window only; the parent's stays as it is.
    os::UnmapFileWindow(m_window);
    m_leftToParent = true;
}

bool CMappedLogWriter::FlushToDevice(void* writer)
{
    CMappedLogWriter& self = *static_cast<CMappedLogWriter*>(writer);
    const std::unique_lock<std::mutex> lock = self.LockWindow();
    return os::FlushFileWindow(self.m_window) && self.m_file != nullptr && self.m_file->Flush();
}
