#include "OsFileMapping.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

namespace os
{
namespace
{
// The windows a shortened file may fault in. Written by the mapping threads, read by the signal
// handler: so only lock-free atomics, in storage that needs no construction.
struct GuardedWindow
{
    std::atomic<char*> data{nullptr};
    std::atomic<std::size_t> size{0};
    std::atomic<bool> cut{false};
};
const int kGuardedWindows = 16;
GuardedWindow g_guarded[kGuardedWindows];
// Marks an entry that a window is being put into.
char* const kClaimed = reinterpret_cast<char*>(1);
struct sigaction g_previousBusAction;

bool LockFile(CFile& file, int kind, DWORD& error)
{
    if (::flock(static_cast<int>(file.GetHandle()), kind | LOCK_NB) == 0)
        return true;
    error = static_cast<DWORD>(errno);
    return false;
}

// Memory of no file takes the window's place, so that the faulting copy completes.
bool TakeOverWindowAt(const char* address)
{
    for (GuardedWindow& window : g_guarded)
    {
        char* const data = window.data.load(std::memory_order_acquire);
        if (data == nullptr || data == kClaimed || address < data ||
            address >= data + window.size.load())
            continue;
        if (::mmap(data, window.size.load(), PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED)
            return false;
        window.cut.store(true);
        return true;
    }
    return false;
}

// The program's own disposition. A fault repeats when the handler returns and then meets it; a
// signal sent by another process is raised again.
void PassOnBusError(int signal, siginfo_t* info, void* context)
{
    if ((g_previousBusAction.sa_flags & SA_SIGINFO) != 0)
        g_previousBusAction.sa_sigaction(signal, info, context);
    else if (g_previousBusAction.sa_handler != SIG_DFL && g_previousBusAction.sa_handler != SIG_IGN)
        g_previousBusAction.sa_handler(signal);
    else
    {
        ::sigaction(SIGBUS, &g_previousBusAction, nullptr);
        if (info->si_code <= 0)
            ::raise(SIGBUS);
    }
}

void OnBusError(int signal, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    const bool taken = info->si_code > 0 && TakeOverWindowAt(static_cast<char*>(info->si_addr));
    errno = savedErrno;
    if (!taken)
        PassOnBusError(signal, info, context);
}

bool InstallBusHandler()
{
    struct sigaction action
    {
    };
    action.sa_sigaction = &OnBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGBUS, &action, &g_previousBusAction) == 0;
}

// -1 when there is no handler or every entry is taken.
int GuardWindow(char* data, std::size_t size)
{
    static const bool installed = InstallBusHandler();
    if (!installed)
        return -1;
    for (int index = 0; index < kGuardedWindows; ++index)
    {
        GuardedWindow& window = g_guarded[index];
        char* expected = nullptr;
        if (!window.data.compare_exchange_strong(expected, kClaimed))
            continue;
        window.size.store(size);
        window.cut.store(false);
        window.data.store(data, std::memory_order_release);
        return index;
    }
    return -1;
}
} // namespace

std::size_t GetFileWindowAlignment()
{
    return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

std::uint64_t GetFileSizeLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return UINT64_MAX;
    return static_cast<std::uint64_t>(limit.rlim_cur);
}

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

// A window that cannot be guarded is not mapped: the file may be shortened under it.
bool MapFileWindow(CFile& file, std::uint64_t offset, std::size_t size, FileWindow& window)
{
    void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED,
                        static_cast<int>(file.GetHandle()), static_cast<off_t>(offset));
    if (data == MAP_FAILED)
        return false;
    const int guard = GuardWindow(static_cast<char*>(data), size);
    if (guard < 0)
    {
        ::munmap(data, size);
        return false;
    }
#ifdef MADV_POPULATE_WRITE
    // The window's pages are made writable in one call, a few per cent cheaper than a fault at
    // the first write of each; a kernel before 5.14 refuses, and the faults come as before.
    ::madvise(data, size, MADV_POPULATE_WRITE);
#endif
    window.data = static_cast<char*>(data);
    window.offset = offset;
    window.size = size;
    window.guard = guard;
    return true;
}

bool IsFileWindowCut(const FileWindow& window)
{
    return window.guard >= 0 && g_guarded[window.guard].cut.load();
}

void UnmapFileWindow(FileWindow& window)
{
    if (window.guard >= 0)
        g_guarded[window.guard].data.store(nullptr);
    if (window.data != nullptr)
        ::munmap(window.data, window.size);
    window = FileWindow();
}

bool FlushFileWindow(const FileWindow& window)
{
    return window.data == nullptr || ::msync(window.data, window.size, MS_SYNC) == 0;
}
} // namespace os
