// Flushes the log file to its device on a thread of its own, so that a logging thread does not
// wait for the disk. At most one flush is asked for or running at a time: a request that finds
// one still under way is flushed on the caller's thread instead. So a power loss costs at most
// the lines written since the flush before last, fewer than twice the lines between flushes.
//
// The thread is started at the first flush and stopped when the file closes. It is never waited for
// where that could hang (see OsThread.h): stopping waits only for a flush under way, which needs
// no lock of the loader, and the thread then leaves on its own, holding its share of the state.
#pragma once

#include "CFile.h"
#include "OsThread.h"

#include <memory>

class CLogFileFlusher
{
public:
    CLogFileFlusher() = default;
    CLogFileFlusher(const CLogFileFlusher&) = delete;
    CLogFileFlusher& operator=(const CLogFileFlusher&) = delete;
    ~CLogFileFlusher() { Stop(); }

    // The file must stay open until Stop has returned.
    void Flush(CFile& file) { Flush(&FlushFile, &file); }
    // A flush by a function of the target's own (a mapped file flushes its window first); the
    // target must stay until Stop has returned.
    using FlushFunction = bool (*)(void* target);
    void Flush(FlushFunction flush, void* target);
    // Waits for a flush under way and lets the thread go; called before the file is closed, so
    // that no thread outlives the open file. The next flush starts a new one.
    void Stop();
    // In the child of a fork: the thread, and perhaps a lock it held, stayed with the parent, so
    // the child flushes on its logging thread from then on and starts no thread.
    void LeaveToParent();
    // Flushes done on the thread of its own and on the caller's thread, for the tests.
    unsigned long GetBackgroundFlushes() const { return m_backgroundFlushes; }
    unsigned long GetCallerFlushes() const { return m_callerFlushes; }

private:
    struct Run;

    // Starts the thread on first use; false when there is none to be had in this process.
    bool HasThread();
    static void ThreadMain(void* argument);
    static bool FlushFile(void* file) { return static_cast<CFile*>(file)->Flush(); }

    std::shared_ptr<Run> m_run;
    os::ThreadHandle m_thread = 0;
    bool m_forked = false;
    unsigned long m_backgroundFlushes = 0;
    unsigned long m_callerFlushes = 0;
};
