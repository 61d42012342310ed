#include "CFile.h"
#include "OsFileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
// openat2's arguments, declared here: older C libraries lack them.
struct OpenHow
{
    std::uint64_t flags;
    std::uint64_t mode;
    std::uint64_t resolve;
};
const std::uint64_t kResolveNoSymlinks = 0x04;
const std::uint64_t kResolveBeneath = 0x08;
#ifdef SYS_openat2
const long kOpenat2 = SYS_openat2;
#else
const long kOpenat2 = 437;
#endif

// Set once the kernel has shown that it lacks openat2.
std::atomic<bool> g_withoutOpenat2{false};

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Reset(-1); }

    int Get() const { return m_fd; }
    void Reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

int AccessFlagsFor(unsigned flags)
{
    if (flags & CFile::modeReadWrite)
        return O_RDWR | O_CLOEXEC;
    return ((flags & CFile::modeWrite) ? O_WRONLY : O_RDONLY) | O_CLOEXEC;
}

bool Truncates(unsigned flags)
{
    return (flags & CFile::modeCreate) && !(flags & CFile::modeNoTruncate);
}

// The file is opened without truncation, so that nothing is emptied that is then refused or
// that another program holds exclusively.
int OpenFlagsFor(unsigned flags)
{
    int result = AccessFlagsFor(flags);
    if (flags & CFile::modeCreateNew)
        result |= O_CREAT | O_EXCL;
    else if (flags & CFile::modeCreate)
        result |= O_CREAT;
    if (flags & CFile::noFollow)
        result |= O_NOFOLLOW;
    return result;
}

// Exclusive use is taken before the file is emptied: an exclusive opener must not clear a file
// that another one holds.
DWORD FinishOpen(int fd, unsigned flags)
{
    if ((flags & CFile::shareExclusive) && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return static_cast<DWORD>(errno);
    if (Truncates(flags) && ::ftruncate(fd, 0) != 0)
        return static_cast<DWORD>(errno);
    return 0;
}

DWORD ErrorOfOpen(int error)
{
    switch (error)
    {
    case ELOOP:
        return os::kErrorLinkOnTheWay;
    case EXDEV: // openat2's answer to a name that would leave the folder
        return os::kErrorNameLeavesFolder;
    case ENXIO: // a pipe without a reader, a socket
        return os::kErrorNotRegularFile;
    case EISDIR:
        return os::kErrorFolderAtName;
    default:
        return static_cast<DWORD>(error);
    }
}

// One element below the folder's descriptor, never through a link.
int OpenElement(int folder, const char* name, int flags, mode_t mode)
{
    if (!g_withoutOpenat2.load(std::memory_order_relaxed))
    {
        OpenHow how{static_cast<std::uint64_t>(flags), (flags & O_CREAT) != 0 ? mode : 0u,
                    kResolveBeneath | kResolveNoSymlinks};
        const long fd = ::syscall(kOpenat2, folder, name, &how, sizeof(how));
        if (fd >= 0 || errno != ENOSYS)
            return static_cast<int>(fd);
        g_withoutOpenat2.store(true, std::memory_order_relaxed);
    }
    return ::openat(folder, name, flags | O_NOFOLLOW, mode);
}

// An existing file is opened without O_CREAT, so that the system's own guards for others' files
// in sticky folders (fs.protected_regular, fs.protected_fifos) do not hide the reason found
// here; a missing one is created exclusively. O_NONBLOCK: a pipe planted there cannot stall.
int OpenFinalElement(int folder, const char* name, unsigned flags, bool worldWritableFolder)
{
    const int access = AccessFlagsFor(flags) | O_NONBLOCK | O_NOCTTY;
    // A program must not make a file that it would refuse itself.
    const mode_t mode = worldWritableFolder ? 0664 : 0666;
    const bool createNew = (flags & CFile::modeCreateNew) != 0;
    const bool create = createNew || (flags & CFile::modeCreate) != 0;
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        if (!createNew)
        {
            const int fd = OpenElement(folder, name, access, 0);
            if (fd >= 0 || errno != ENOENT || !create)
                return fd;
        }
        const int fd = OpenElement(folder, name, access | O_CREAT | O_EXCL, mode);
        if (fd >= 0 || errno != EEXIST || createNew)
            return fd;
    }
    return -1;
}

// In a folder that every account can write, anybody could have put the entry there.
DWORD CheckTrust(const struct stat& folder, const struct stat& entry)
{
    if ((folder.st_mode & S_IWOTH) == 0)
        return 0;
    if (entry.st_uid != ::geteuid() && entry.st_uid != 0)
        return os::kErrorForeignOwner;
    return (entry.st_mode & S_IWOTH) != 0 ? os::kErrorWritableByAll : 0;
}

DWORD CheckFolderOnTheWay(const struct stat& folder, const struct stat& entry)
{
    if (S_ISLNK(entry.st_mode))
        return os::kErrorLinkOnTheWay;
    if (!S_ISDIR(entry.st_mode))
        return ENOTDIR;
    return CheckTrust(folder, entry);
}

DWORD CheckFile(const struct stat& folder, const struct stat& entry)
{
    if (S_ISDIR(entry.st_mode))
        return os::kErrorFolderAtName;
    if (!S_ISREG(entry.st_mode))
        return os::kErrorNotRegularFile;
    return entry.st_nlink != 1 ? os::kErrorSeveralNames : CheckTrust(folder, entry);
}
} // namespace

CFile::~CFile()
{
    Close();
}

bool CFile::Open(const char* path, unsigned flags)
{
    Close();
    Descriptor fd(::open(path, OpenFlagsFor(flags), 0666));
    struct stat info
    {
    };
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0)
        return Refuse(static_cast<DWORD>(errno));
    if (S_ISDIR(info.st_mode))
        return Refuse(EISDIR);
    if (const DWORD error = FinishOpen(fd.Get(), flags))
        return Refuse(error);
    m_handle = fd.Release();
    m_path = path;
    return true;
}

bool CFile::OpenBeneath(const char* folder, const char* relativePath, unsigned flags)
{
    Close();
    std::vector<CString> elements;
    if (folder == nullptr || !SplitBelowFolder(relativePath, elements))
        return Refuse(os::kErrorNameLeavesFolder);
    Descriptor within(::open(folder, O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat folderInfo
    {
    };
    if (within.Get() < 0 || ::fstat(within.Get(), &folderInfo) != 0)
        return Refuse(static_cast<DWORD>(errno));
    // Each folder on the way is checked as the very folder that the next step opens from.
    for (std::size_t i = 0; i + 1 < elements.size(); ++i)
    {
        Descriptor next(OpenElement(within.Get(), elements[i], O_PATH | O_NOFOLLOW | O_CLOEXEC, 0));
        struct stat info
        {
        };
        if (next.Get() < 0 || ::fstat(next.Get(), &info) != 0)
            return Refuse(ErrorOfOpen(errno));
        if (const DWORD error = CheckFolderOnTheWay(folderInfo, info))
            return Refuse(error);
        within.Reset(next.Release());
        folderInfo = info;
    }
    const bool worldWritable = (folderInfo.st_mode & S_IWOTH) != 0;
    Descriptor fd(OpenFinalElement(within.Get(), elements.back(), flags, worldWritable));
    struct stat info
    {
    };
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0)
        return Refuse(ErrorOfOpen(errno));
    if (const DWORD error = CheckFile(folderInfo, info))
        return Refuse(error);
    // Refused pipes are gone by now; reads and writes of the file wait as usual.
    const int statusFlags = ::fcntl(fd.Get(), F_GETFL);
    if (statusFlags < 0 || ::fcntl(fd.Get(), F_SETFL, statusFlags & ~O_NONBLOCK) != 0)
        return Refuse(static_cast<DWORD>(errno));
    if (const DWORD error = FinishOpen(fd.Get(), flags))
        return Refuse(error);
    m_handle = fd.Release();
    m_path = folder;
    if (m_path.Right(1) != "/")
        m_path += '/';
    m_path += relativePath;
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

bool CFile::Replace(const char* source, const char* target)
{
    return ::rename(source, target) == 0;
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
    unsigned written = 0;
    return Write(buffer, count, written);
}

bool CFile::Write(const void* buffer, unsigned count, unsigned& written)
{
    const char* bytes = static_cast<const char*>(buffer);
    written = 0;
    while (m_handle >= 0 && written < count)
    {
        // The system call itself: the C library's write is a point where a thread may be
        // cancelled, so it switches the cancel state twice around every call, and a logging
        // thread cancelled there would leave the log's lock held.
        const long result =
            ::syscall(SYS_write, static_cast<int>(m_handle), bytes + written, count - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
        {
            m_lastError = static_cast<DWORD>(errno);
            return false;
        }
        written += static_cast<unsigned>(result);
    }
    return m_handle >= 0;
}

// Data written reaches the kernel at once; flushing hands it on to the device.
bool CFile::Flush()
{
    return m_handle >= 0 && ::fdatasync(static_cast<int>(m_handle)) == 0;
}
