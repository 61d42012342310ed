#include "output/CMappedLogWriter.h"

#include <cstring>

bool CMappedLogWriter::Start(CFile& file, std::uint64_t end)
{
    Stop();
    m_end = end;
    m_leftToParent = false;
    SetFile(&file);
    if (MoveWindow(0))
        return true;
    SetFile(nullptr);
    return false;
}

// The flush thread reads the file under the lock.
void CMappedLogWriter::SetFile(CFile* file)
{
    std::lock_guard<std::mutex> lock(m_windowLock);
    m_file = file;
}

bool CMappedLogWriter::Write(const char* text, std::size_t length)
{
    if (m_file == nullptr || m_leftToParent)
        return false;
    if (m_end + length > m_window.offset + m_window.size && !MoveWindow(length))
        return false;
    std::memcpy(m_window.data + (m_end - m_window.offset), text, length);
    m_end += length;
    return true;
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
    if (size > SIZE_MAX || !os::ReserveFileLength(*m_file, fileEnd) ||
        !os::MapFileWindow(*m_file, offset, static_cast<std::size_t>(size), window))
        return false;
    std::lock_guard<std::mutex> lock(m_windowLock);
    os::UnmapFileWindow(m_window);
    m_window = window;
    return true;
}

void CMappedLogWriter::Stop()
{
    CFile* const file = m_file;
    // In the child of a fork the window is gone, and the lock may be held by a thread that
    // stayed with the parent.
    if (file == nullptr || m_leftToParent)
    {
        m_file = nullptr;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_windowLock);
        os::UnmapFileWindow(m_window);
        m_file = nullptr;
    }
    // Windows refuses while another program maps the file; the zeros then stay until the file is
    // opened anew.
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
    std::lock_guard<std::mutex> lock(self.m_windowLock);
    return os::FlushFileWindow(self.m_window) && self.m_file != nullptr && self.m_file->Flush();
}
