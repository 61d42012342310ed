#include "WindowsInclude.h"

#include "CFile.h"
#include "OsFileSystem.h"

namespace
{
HANDLE ToHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

DWORD AccessFor(unsigned flags)
{
    if (flags & CFile::modeReadWrite)
        return GENERIC_READ | GENERIC_WRITE;
    return (flags & CFile::modeWrite) ? GENERIC_WRITE : GENERIC_READ;
}

bool Truncates(unsigned flags)
{
    return (flags & CFile::modeCreate) && !(flags & CFile::modeNoTruncate);
}

// Without following, the file is truncated only after it has shown not to be a reparse point.
DWORD CreationFor(unsigned flags)
{
    if (flags & CFile::modeCreateNew)
        return CREATE_NEW;
    if (!(flags & CFile::modeCreate))
        return OPEN_EXISTING;
    return Truncates(flags) && !(flags & CFile::noFollow) ? CREATE_ALWAYS : OPEN_ALWAYS;
}

bool IsReparsePoint(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return !::GetFileInformationByHandle(handle, &info) ||
           (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A reparse point is refused; the file it is not is truncated when the flags ask for it.
bool CheckNotFollowed(HANDLE handle, unsigned flags)
{
    if (IsReparsePoint(handle))
    {
        ::SetLastError(ERROR_CANT_ACCESS_FILE);
        return false;
    }
    return !Truncates(flags) || ::SetEndOfFile(handle) != 0;
}
} // namespace

CFile::~CFile()
{
    Close();
}

bool CFile::Open(const char* path, unsigned flags)
{
    Close();
    // No FILE_SHARE_DELETE: another program must not delete or rename a file while it is written.
    DWORD share = (flags & shareExclusive) ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    if ((flags & shareExclusive) && (flags & shareRenamable))
        share = FILE_SHARE_DELETE;
    const DWORD attributes =
        FILE_ATTRIBUTE_NORMAL | ((flags & noFollow) ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    HANDLE handle = ::CreateFileA(path, AccessFor(flags), share, nullptr, CreationFor(flags),
                                  attributes, nullptr);
    if (handle != INVALID_HANDLE_VALUE && (flags & noFollow) && !CheckNotFollowed(handle, flags))
    {
        const DWORD error = ::GetLastError();
        ::CloseHandle(handle);
        ::SetLastError(error);
        handle = INVALID_HANDLE_VALUE;
    }
    if (handle == INVALID_HANDLE_VALUE)
    {
        m_lastError = ::GetLastError();
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    m_path = path;
    return true;
}

bool CFile::IsAtPath() const
{
    return IsOpen();
}

bool CFile::OpenBeneath(const char* folder, const char* relativePath, unsigned flags)
{
    CString path(folder);
    path += os::kPathSeparator;
    path += relativePath;
    return Open(path, flags | noFollow);
}

bool CFile::OpenInFolder(const char* path, unsigned flags)
{
    return Open(path, flags | noFollow);
}

bool CFile::IsOpen() const
{
    return m_handle != -1;
}

void CFile::Close()
{
    if (m_handle != -1)
        ::CloseHandle(ToHandle(m_handle));
    m_handle = -1;
}

std::uint64_t CFile::GetLength() const
{
    LARGE_INTEGER size{};
    if (m_handle == -1 || !::GetFileSizeEx(ToHandle(m_handle), &size))
        return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::int64_t CFile::Seek(std::int64_t offset, SeekPosition from)
{
    static const DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER position{};
    if (m_handle == -1 ||
        !::SetFilePointerEx(ToHandle(m_handle), distance, &position, kMethod[from]))
    {
        m_lastError = ::GetLastError();
        return -1;
    }
    return position.QuadPart;
}

bool CFile::SetLength(std::uint64_t length)
{
    const std::int64_t position = Seek(0, current);
    if (position < 0 || Seek(static_cast<std::int64_t>(length), begin) < 0)
        return false;
    const bool ok = ::SetEndOfFile(ToHandle(m_handle)) != 0;
    if (!ok)
        m_lastError = ::GetLastError();
    Seek(position, begin);
    return ok;
}

unsigned CFile::Read(void* buffer, unsigned count)
{
    char* bytes = static_cast<char*>(buffer);
    unsigned total = 0;
    while (m_handle != -1 && total < count)
    {
        DWORD got = 0;
        if (!::ReadFile(ToHandle(m_handle), bytes + total, count - total, &got, nullptr))
            m_lastError = ::GetLastError();
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

bool CFile::Write(const void* buffer, unsigned count)
{
    DWORD written = 0;
    if (m_handle == -1 || !::WriteFile(ToHandle(m_handle), buffer, count, &written, nullptr) ||
        written != count)
    {
        m_lastError = ::GetLastError();
        return false;
    }
    return true;
}

bool CFile::Flush()
{
    return m_handle != -1 && ::FlushFileBuffers(ToHandle(m_handle)) != 0;
}
