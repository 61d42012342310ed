#include "CFile.h"
#include "OsFileSystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
int OpenFlagsFor(unsigned flags)
{
    int result = O_CLOEXEC;
    if (flags & CFile::modeReadWrite)
        result |= O_RDWR;
    else if (flags & CFile::modeWrite)
        result |= O_WRONLY;
    else
        result |= O_RDONLY;
    if (flags & CFile::modeCreateNew)
        result |= O_CREAT | O_EXCL;
    else if (flags & CFile::modeCreate)
        result |= O_CREAT | ((flags & CFile::modeNoTruncate) ? 0 : O_TRUNC);
    if (flags & CFile::noFollow)
        result |= O_NOFOLLOW;
    return result;
}
} // namespace

CFile::~CFile()
{
    Close();
}

bool CFile::Open(const char* path, unsigned flags)
{
    Close();
    const bool exclusive = (flags & shareExclusive) != 0;
    // Truncation waits for the lock: an exclusive opener must not clear a file another holds.
    const int openFlags = OpenFlagsFor(flags) & (exclusive ? ~O_TRUNC : ~0);
    const int fd = ::open(path, openFlags, 0666);
    if (fd < 0)
    {
        m_lastError = static_cast<DWORD>(errno);
        return false;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
    {
        m_lastError = static_cast<DWORD>(S_ISDIR(info.st_mode) ? EISDIR : errno);
        ::close(fd);
        return false;
    }
    if (exclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
    {
        m_lastError = static_cast<DWORD>(errno);
        ::close(fd);
        return false;
    }
    if (exclusive && (OpenFlagsFor(flags) & O_TRUNC) && ::ftruncate(fd, 0) != 0)
    {
        m_lastError = static_cast<DWORD>(errno);
        ::close(fd);
        return false;
    }
    m_handle = fd;
    m_path = path;
    return true;
}

bool CFile::IsAtPath() const
{
    struct stat opened
    {
    };
    struct stat named
    {
    };
    return m_handle >= 0 && ::fstat(static_cast<int>(m_handle), &opened) == 0 &&
           ::lstat(m_path, &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
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
    return m_handle >= 0;
}

void CFile::Close()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
    m_handle = -1;
}

std::uint64_t CFile::GetLength() const
{
    struct stat info
    {
    };
    if (m_handle < 0 || ::fstat(static_cast<int>(m_handle), &info) != 0)
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

std::int64_t CFile::Seek(std::int64_t offset, SeekPosition from)
{
    static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (m_handle < 0)
        return -1;
    const off_t position =
        ::lseek(static_cast<int>(m_handle), static_cast<off_t>(offset), kWhence[from]);
    if (position < 0)
        m_lastError = static_cast<DWORD>(errno);
    return position;
}

bool CFile::SetLength(std::uint64_t length)
{
    if (m_handle >= 0 && ::ftruncate(static_cast<int>(m_handle), static_cast<off_t>(length)) == 0)
        return true;
    m_lastError = static_cast<DWORD>(errno);
    return false;
}

unsigned CFile::Read(void* buffer, unsigned count)
{
    if (m_handle < 0)
        return 0;
    char* bytes = static_cast<char*>(buffer);
    unsigned total = 0;
    while (total < count)
    {
        const ssize_t got = ::read(static_cast<int>(m_handle), bytes + total, count - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            m_lastError = static_cast<DWORD>(errno);
        if (got <= 0)
            break;
        total += static_cast<unsigned>(got);
    }
    return total;
}

bool CFile::Write(const void* buffer, unsigned count)
{
    const char* bytes = static_cast<const char*>(buffer);
    while (m_handle >= 0 && count > 0)
    {
        // The system call itself: the C library's write is a point where a thread may be
        // cancelled, so it switches the cancel state twice around every call, and a logging
        // thread cancelled there would leave the log's lock held.
        const long written = ::syscall(SYS_write, static_cast<int>(m_handle), bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
        {
            m_lastError = static_cast<DWORD>(errno);
            return false;
        }
        bytes += written;
        count -= static_cast<unsigned>(written);
    }
    return m_handle >= 0;
}

// Data written reaches the kernel at once; flushing hands it on to the device.
bool CFile::Flush()
{
    return m_handle >= 0 && ::fdatasync(static_cast<int>(m_handle)) == 0;
}
