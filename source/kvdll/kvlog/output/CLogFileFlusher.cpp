#include "output/CLogFileFlusher.h"

#include <condition_variable>
#include <mutex>
#include <new>

struct CLogFileFlusher::Run
{
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    FlushFunction flush = nullptr;
    void* target = nullptr;
    bool requested = false;
    bool running = false;
    bool stop = false;
};

bool CLogFileFlusher::HasThread()
{
    if (m_forked || os::IsProcessEnding())
        return false;
    if (m_thread != 0)
        return true;
    try
    {
        auto run = std::make_shared<Run>();
        auto* threadReference = new std::shared_ptr<Run>(run);
        m_thread = os::StartThread(&ThreadMain, threadReference);
        if (m_thread == 0)
        {
            delete threadReference;
            return false;
        }
        m_run = run;
        return true;
    }
    catch (...)
    {
        return false;
    }
}

void CLogFileFlusher::Flush(FlushFunction flush, void* target)
{
    if (HasThread())
    {
        std::unique_lock<std::mutex> lock(m_run->mutex);
        if (!m_run->requested && !m_run->running)
        {
            m_run->flush = flush;
            m_run->target = target;
            m_run->requested = true;
            ++m_backgroundFlushes;
            lock.unlock();
            m_run->wake.notify_one();
            return;
        }
    }
    ++m_callerFlushes;
    flush(target);
}

void CLogFileFlusher::Stop()
{
    // At a Windows process end the system has already ended the thread.
    if (m_thread == 0 || !HasThread())
        return;
    {
        std::unique_lock<std::mutex> lock(m_run->mutex);
        m_run->idle.wait(lock, [this] { return !m_run->requested && !m_run->running; });
        m_run->stop = true;
    }
    m_run->wake.notify_one();
    os::ReleaseThread(m_thread, os::CanAwaitThreadEnd());
    m_thread = 0;
    m_run.reset();
}

void CLogFileFlusher::LeaveToParent()
{
    m_forked = true;
    m_thread = 0;
}

void CLogFileFlusher::ThreadMain(void* argument)
{
    const std::shared_ptr<Run> run = *static_cast<std::shared_ptr<Run>*>(argument);
    delete static_cast<std::shared_ptr<Run>*>(argument);
    std::unique_lock<std::mutex> lock(run->mutex);
    for (;;)
    {
        run->wake.wait(lock, [&run] { return run->requested || run->stop; });
        if (!run->requested)
            return;
        run->requested = false;
        run->running = true;
        const FlushFunction flush = run->flush;
        void* const target = run->target;
        lock.unlock();
        flush(target);
        lock.lock();
        run->running = false;
        run->idle.notify_all();
    }
}
