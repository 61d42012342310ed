#include "OsFileMapping.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

namespace os
{
std::size_t GetFileWindowAlignment()
{
    return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

namespace
{
bool LockFile(CFile& file, int kind, DWORD& error)
{
    if (::flock(static_cast<int>(file.GetHandle()), kind | LOCK_NB) == 0)
        return true;
    error = static_cast<DWORD>(errno);
    return false;
}
} // namespace

bool ClaimFileForMapping(CFile& file, DWORD& error)
{
    return LockFile(file, LOCK_EX, error);
}

bool ClaimFileAlone(CFile& file, DWORD& error)
{
    return LockFile(file, LOCK_EX, error);
}

bool ClaimFileForWriting(CFile& file, DWORD& error)
{
    return LockFile(file, LOCK_SH, error);
}

bool ReserveFileLength(CFile& file, std::uint64_t length)
{
    const std::uint64_t current = file.GetLength();
    if (length <= current)
        return true;
    // Unlike a sparse extension, the blocks exist afterwards: a full disk shows here and not as a
    // SIGBUS at a later copy.
    return ::posix_fallocate(static_cast<int>(file.GetHandle()), static_cast<off_t>(current),
                             static_cast<off_t>(length - current)) == 0;
}

bool MapFileWindow(CFile& file, std::uint64_t offset, std::size_t size, FileWindow& window)
{
    void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED,
                        static_cast<int>(file.GetHandle()), static_cast<off_t>(offset));
    if (data == MAP_FAILED)
        return false;
#ifdef MADV_POPULATE_WRITE
    // The window's pages are made writable in one call, a few per cent cheaper than a fault at
    // the first write of each; a kernel before 5.14 refuses, and the faults come as before.
    ::madvise(data, size, MADV_POPULATE_WRITE);
#endif
    window.data = static_cast<char*>(data);
    window.offset = offset;
    window.size = size;
    return true;
}

void UnmapFileWindow(FileWindow& window)
{
    if (window.data != nullptr)
        ::munmap(window.data, window.size);
    window = FileWindow();
}

bool FlushFileWindow(const FileWindow& window)
{
    return window.data == nullptr || ::msync(window.data, window.size, MS_SYNC) == 0;
}
} // namespace os
