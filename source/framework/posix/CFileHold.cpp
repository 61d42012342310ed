// Taking turns at a file: the exclusive lock (flock) waited for in the system, with a deadline.
//
// flock has no timeout, so a timer of the waiting thread interrupts the blocked call with a
// signal of its own every few milliseconds; between the interruptions the deadline and the
// caller's giveUp are looked at. The waiters stay in the system's queue of the lock, so a program
// that waits is not overtaken by one that merely tries at the right moment. The signal's handler
// does nothing and is installed only while the signal has no other one; should the host program
// use that signal, the wait falls back to trying the lock at growing intervals.
#include "CFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

const DWORD CFile::kErrorWaitEnded = ETIMEDOUT;
const bool CFile::kReplacesOpenFiles = true;

namespace
{
// A signal that programs rarely use; glibc keeps the lowest real-time signals for itself.
const int kWakeSignal = SIGRTMAX - 3;
const long kWakeIntervalNanoseconds = 20 * 1000 * 1000;
const DWORD kLongestPollPause = 50;

using Clock = std::chrono::steady_clock;

void IgnoreWake(int) {}

// True when the wake signal reaches IgnoreWake: installed now, or earlier by this code.
bool OwnWakeSignal()
{
    struct sigaction current
    {
    };
    if (::sigaction(kWakeSignal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0)
        return false;
    if (current.sa_handler == &IgnoreWake)
        return true;
    if (current.sa_handler != SIG_DFL)
        return false;
    struct sigaction ours
    {
    };
    ours.sa_handler = &IgnoreWake;
    sigemptyset(&ours.sa_mask);
    ours.sa_flags = 0; // no SA_RESTART: the blocked flock must return
    return ::sigaction(kWakeSignal, &ours, nullptr) == 0;
}

class WaitClock
{
public:
    WaitClock(DWORD milliseconds, bool (*giveUp)())
        : m_end(Clock::now() + std::chrono::milliseconds(milliseconds)), m_giveUp(giveUp)
    {
    }
    bool IsOver() const { return Clock::now() >= m_end || (m_giveUp != nullptr && m_giveUp()); }

private:
    Clock::time_point m_end;
    bool (*m_giveUp)();
};

// The thread's timer that sends the wake signal at every interval while it exists.
class WakeTimer
{
public:
    WakeTimer()
    {
        sigevent event{};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = kWakeSignal;
        event._sigev_un._tid = static_cast<pid_t>(::syscall(SYS_gettid));
        if (::timer_create(CLOCK_MONOTONIC, &event, &m_timer) != 0)
            return;
        sigset_t wake;
        sigemptyset(&wake);
        sigaddset(&wake, kWakeSignal);
        const itimerspec interval{{0, kWakeIntervalNanoseconds}, {0, kWakeIntervalNanoseconds}};
        m_armed = ::pthread_sigmask(SIG_UNBLOCK, &wake, &m_oldMask) == 0 &&
                  ::timer_settime(m_timer, 0, &interval, nullptr) == 0;
        if (!m_armed)
            ::timer_delete(m_timer);
    }
    WakeTimer(const WakeTimer&) = delete;
    WakeTimer& operator=(const WakeTimer&) = delete;
    // The timer goes before the mask comes back, so that no signal of it stays pending.
    ~WakeTimer()
    {
        if (!m_armed)
            return;
        ::timer_delete(m_timer);
        ::pthread_sigmask(SIG_SETMASK, &m_oldMask, nullptr);
    }
    bool IsArmed() const { return m_armed; }

private:
    timer_t m_timer{};
    sigset_t m_oldMask{};
    bool m_armed = false;
};

int TryLock(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
}

// Without the signal: tries at growing intervals.
int PollLock(int fd, const WaitClock& clock)
{
    for (DWORD pause = 1;; pause = std::min(pause * 2, kLongestPollPause))
    {
        const int error = TryLock(fd);
        if (error != EWOULDBLOCK)
            return error;
        if (clock.IsOver())
            return ETIMEDOUT;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    }
}

// 0 when locked; ETIMEDOUT when the wait ended; else the system's code.
int LockWithin(int fd, const WaitClock& clock)
{
    const int first = TryLock(fd);
    if (first != EWOULDBLOCK)
        return first;
    if (!OwnWakeSignal())
        return PollLock(fd, clock);
    const WakeTimer timer;
    if (!timer.IsArmed())
        return PollLock(fd, clock);
    for (;;)
    {
        if (::flock(fd, LOCK_EX) == 0)
            return 0;
        if (errno != EINTR)
            return errno;
        if (clock.IsOver())
            return ETIMEDOUT;
    }
}
} // namespace

bool CFile::HoldInFolder(const char* path, unsigned flags, DWORD waitMilliseconds, bool (*giveUp)())
{
    if (OpenInFolder(path, flags | shareExclusive) || !IsHeldElsewhere(m_lastError))
        return IsOpen();
    // Opened without the lock, which is then waited for.
    if (!OpenInFolder(path, flags & ~shareExclusive))
        return false;
    const int error = LockWithin(static_cast<int>(m_handle), WaitClock(waitMilliseconds, giveUp));
    if (error == 0)
        return true;
    Close();
    m_lastError = static_cast<DWORD>(error);
    return false;
}

void CFile::ReleaseTurn() {}

bool CFile::IsNotFound(DWORD code)
{
    return code == ENOENT;
}

bool CFile::IsHeldElsewhere(DWORD code)
{
    return code == EWOULDBLOCK || code == EAGAIN;
}

bool CFile::IsAlreadyThere(DWORD code)
{
    return code == EEXIST;
}

bool CFile::MayRenameSoon(DWORD)
{
    return false;
}

// Root may write any file, so the permission bits themselves are asked as well.
bool CFile::IsReadOnly()
{
    struct stat info
    {
    };
    if (m_handle < 0 || ::fstat(static_cast<int>(m_handle), &info) != 0)
        return false;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        m_lastError = EACCES;
    else if (::faccessat(AT_FDCWD, m_path, W_OK, AT_EACCESS) != 0)
        m_lastError = static_cast<DWORD>(errno);
    else
        return false;
    return true;
}

// The owner first: a change of owner clears the set-id bits that the mode then sets again. An
// account that may not give the file away keeps it, with the model's group where it may.
bool CFile::TakeAccessOf(const CFile& model)
{
    struct stat info
    {
    };
    const int fd = static_cast<int>(m_handle);
    if (m_handle < 0 || model.m_handle < 0 || ::fstat(static_cast<int>(model.m_handle), &info) != 0)
        return false;
    if (::fchown(fd, info.st_uid, info.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), info.st_gid) != 0)
    {
        // The file stays this account's, with its own group.
    }
    if (::fchmod(fd, info.st_mode & 07777) == 0)
        return true;
    m_lastError = static_cast<DWORD>(errno);
    return false;
}

bool CFile::SyncToDevice()
{
    if (m_handle >= 0 && ::fsync(static_cast<int>(m_handle)) == 0)
        return true;
    m_lastError = static_cast<DWORD>(errno);
    return false;
}

bool CFile::Replace(const char* source, const char* target, DWORD* lastError)
{
    if (::rename(source, target) == 0)
        return true;
    if (lastError != nullptr)
        *lastError = static_cast<DWORD>(errno);
    return false;
}

// renameat2 refuses to replace; a file system without it gets a link and an unlink, which the
// system also refuses when the target exists.
bool CFile::PlaceNew(const char* source, const char* target, DWORD* lastError)
{
    int error = 0;
    if (::renameat2(AT_FDCWD, source, AT_FDCWD, target, RENAME_NOREPLACE) != 0)
    {
        error = errno;
        if ((error == EINVAL || error == ENOSYS) && ::link(source, target) == 0)
            error = ::unlink(source) == 0 ? 0 : errno;
        else if (error == EINVAL || error == ENOSYS)
            error = errno;
    }
    if (error != 0 && lastError != nullptr)
        *lastError = static_cast<DWORD>(error);
    return error == 0;
}

bool CFile::SyncFolder(const char* folder)
{
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}
