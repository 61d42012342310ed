#include "WindowsInclude.h"

#include "OsFileMapping.h"

namespace os
{
namespace
{
HANDLE HandleOf(const CFile& file)
{
    return reinterpret_cast<HANDLE>(file.GetHandle());
}
} // namespace

std::size_t GetFileWindowAlignment()
{
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwAllocationGranularity;
}

std::uint64_t GetFileSizeLimit()
{
    return UINT64_MAX;
}

bool ClaimFileForMapping(CFile&, DWORD&)
{
    return true;
}

bool ClaimFileForWriting(CFile&, DWORD&)
{
    return true;
}

// The range lies where no log file reaches, so the lock keeps out only other claims.
bool ClaimFileAlone(CFile& file, DWORD& error)
{
    OVERLAPPED range{};
    range.Offset = 0xFFFFFFFEu;
    range.OffsetHigh = 0x7FFFFFFFu;
    if (::LockFileEx(HandleOf(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                     &range))
        return true;
    error = ::GetLastError();
    return false;
}

// A file extended by its end of file has its clusters allocated (it is not sparse).
bool ReserveFileLength(CFile& file, std::uint64_t length)
{
    return length <= file.GetLength() || file.SetLength(length);
}

bool MapFileWindow(CFile& file, std::uint64_t offset, std::size_t size, FileWindow& window)
{
    HANDLE section = ::CreateFileMappingA(HandleOf(file), nullptr, PAGE_READWRITE, 0, 0, nullptr);
    if (section == nullptr)
        return false;
    void* data = ::MapViewOfFile(section, FILE_MAP_WRITE, static_cast<DWORD>(offset >> 32),
                                 static_cast<DWORD>(offset & 0xFFFFFFFFu), size);
    // The view holds the section for as long as it is mapped.
    ::CloseHandle(section);
    if (data == nullptr)
        return false;
    window.data = static_cast<char*>(data);
    window.offset = offset;
    window.size = size;
    return true;
}

// Windows shortens no file while it is mapped.
bool IsFileWindowCut(const FileWindow&)
{
    return false;
}

void UnmapFileWindow(FileWindow& window)
{
    if (window.data != nullptr)
        ::UnmapViewOfFile(window.data);
    window = FileWindow();
}

bool FlushFileWindow(const FileWindow& window)
{
    return window.data == nullptr || ::FlushViewOfFile(window.data, window.size) != 0;
}
} // namespace os
