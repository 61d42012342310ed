#include "output/syslog/CSyslogSender.h"

#include "OsDebugOutput.h"
#include "OsThread.h"
#include "output/syslog/CSyslogFormatter.h"

#include <algorithm>
#include <cstdio>

namespace
{
// Waits on the network are cut into steps, so that a stop request is seen within one.
const unsigned long kStepMilliseconds = 50;
// A sent message keeps at most this much storage for the next one.
const std::size_t kKeptStorageBytes = 2048;

// The thread's own reference keeps the sender alive until the thread has ended.
void RunSender(void* argument)
{
    const std::unique_ptr<std::shared_ptr<CSyslogSender>> self(
        static_cast<std::shared_ptr<CSyslogSender>*>(argument));
    (*self)->Run();
}
} // namespace

std::shared_ptr<CSyslogSender> CSyslogSender::Start(const CSyslogTarget& target,
                                                    std::size_t capacity)
{
    try
    {
        auto sender = std::make_shared<CSyslogSender>(target, capacity);
        auto threadReference = std::make_unique<std::shared_ptr<CSyslogSender>>(sender);
        sender->m_thread = os::StartThread(&RunSender, threadReference.get());
        if (sender->m_thread == 0)
            return nullptr;
        threadReference.release();
        return sender;
    }
    catch (...)
    {
        return nullptr;
    }
}

CSyslogSender::CSyslogSender(const CSyslogTarget& target, std::size_t capacity)
    : m_target(target), m_queue(capacity)
{
}

CSyslogSender::~CSyslogSender()
{
    // Only reached once the thread has released its reference, so it is about to end.
    os::ReleaseThread(m_thread, false);
}

void CSyslogSender::Enqueue(const std::string& message, std::size_t elementEnd)
{
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.Push(message, elementEnd);
        // Only a sender asleep for want of lines needs the wake-up (a system call).
        wake = m_senderIdle;
        m_senderIdle = false;
    }
    if (wake)
        m_wake.notify_all();
}

void CSyslogSender::RequestStop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_stopRequested)
        {
            m_stopRequested = true;
            m_giveUpTime = Clock::now() + std::chrono::milliseconds(kFlushMilliseconds);
        }
    }
    m_wake.notify_all();
}

void CSyslogSender::AwaitEnd(unsigned long waitMilliseconds)
{
    if (m_thread == 0)
        return;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMilliseconds);
    bool ended = false;
    // Asked before the lock is taken, at every step: a thread that the system ended may have
    // held it, and will never set its flag.
    while (!os::IsProcessEnding() && !os::HasThreadEnded(m_thread))
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        ended = m_wake.wait_for(lock, std::chrono::milliseconds(kStepMilliseconds),
                                [this] { return m_ended; });
        if (ended)
            break;
        if (Clock::now() >= deadline)
        {
            CString text;
            text.Format("kvlog: the syslog sender did not end in time; %lu lines may not be "
                        "sent\n",
                        HeldLines());
            lock.unlock();
            os::OutputDebugStringA(text);
            break;
        }
    }
    // A thread still running keeps the module loaded (Windows) or is let go (POSIX).
    os::ReleaseThread(m_thread, ended && os::CanAwaitThreadEnd());
    m_thread = 0;
}

bool CSyslogSender::HasEnded()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ended;
}

void CSyslogSender::Run()
{
    while (WaitForMessage())
    {
        if (!EnsureConnected())
        {
            WaitBackoff();
            continue;
        }
        if (!SendPending())
            Disconnect();
    }
    Flush();
    Disconnect();
    ReportUnsent();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ended = true;
    m_wake.notify_all();
}

bool CSyslogSender::WaitForMessage()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopRequested && !m_hasPending && m_queue.IsEmpty())
    {
        m_senderIdle = true;
        m_wake.wait(lock);
    }
    m_senderIdle = false;
    if (m_stopRequested)
        return false;
    if (!m_hasPending)
        TakeMessage();
    return true;
}

// Called with m_mutex held.
bool CSyslogSender::TakeMessage()
{
    m_hasPending = m_queue.Pop(m_pending, m_pendingElementEnd);
    return m_hasPending;
}

bool CSyslogSender::ShouldGiveUp()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stopRequested && Clock::now() >= m_giveUpTime;
}

bool CSyslogSender::EnsureConnected()
{
    if (m_socket != os::kNoSocket)
    {
        // A server that closed the connection would swallow the next message unseen.
        if (!m_target.IsStream() || !os::IsSocketClosed(m_socket))
            return true;
        Disconnect();
    }
    if (!Resolve() || !Connect())
    {
        if (!m_outageReported && m_resolved)
        {
            CString text;
            text.Format("kvlog: cannot reach the syslog server %s; lines wait in a queue of at "
                        "most %lu\n",
                        m_target.Describe().GetString(),
                        static_cast<unsigned long>(CSyslogQueue::kDefaultCapacity));
            os::OutputDebugStringA(text);
            m_outageReported = true;
        }
        return false;
    }
    if (m_everConnected && m_target.IsStream())
    {
        ++m_reconnects;
        CString text;
        text.Format("kvlog: reconnected to the syslog server %s\n",
                    m_target.Describe().GetString());
        os::OutputDebugStringA(text);
    }
    m_everConnected = true;
    m_outageReported = false;
    m_backoff = kFirstBackoffMilliseconds;
    return true;
}

bool CSyslogSender::Resolve()
{
    if (m_resolved)
        return true;
    CString error;
    m_resolved = os::ResolveSocketAddress(m_target.GetHost(), m_target.GetPort(),
                                          m_target.IsStream() ? os::SocketKind::kStream
                                                              : os::SocketKind::kDatagram,
                                          m_address, error);
    if (!m_resolved && !m_resolveReported)
    {
        CString text;
        text.Format("kvlog: the syslog server \"%s\" cannot be resolved (%s); lines wait in the "
                    "queue\n",
                    m_target.GetHost().GetString(), error.GetString());
        os::OutputDebugStringA(text);
        m_resolveReported = true;
    }
    return m_resolved;
}

bool CSyslogSender::Connect()
{
    m_socket = os::OpenSocket(m_address, m_target.IsStream() ? os::SocketKind::kStream
                                                             : os::SocketKind::kDatagram);
    if (m_socket == os::kNoSocket)
        return false;
    if (!m_target.IsStream())
        return true;
    // A stop lets a connection under way finish within the flush time.
    for (unsigned long waited = 0; waited < kConnectTimeoutMilliseconds && !ShouldGiveUp();
         waited += kStepMilliseconds)
    {
        const int ready = os::WaitSocketWritable(m_socket, kStepMilliseconds);
        if (ready > 0)
            return true;
        if (ready < 0)
            break;
    }
    Disconnect();
    return false;
}

void CSyslogSender::Disconnect()
{
    os::CloseSocket(m_socket);
    m_socket = os::kNoSocket;
}

void CSyslogSender::WaitBackoff()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto until = Clock::now() + std::chrono::milliseconds(m_backoff);
    m_wake.wait_until(lock, until, [this] { return m_stopRequested; });
    m_backoff = std::min<unsigned long>(m_backoff * 2, kLastBackoffMilliseconds);
}

bool CSyslogSender::SendPending()
{
    BuildFrame();
    std::size_t offset = 0;
    while (offset < m_frame.size())
    {
        std::size_t sent = 0;
        const os::SendResult result =
            os::SendSocket(m_socket, m_frame.data() + offset, m_frame.size() - offset, sent);
        if (result == os::SendResult::kFailed)
        {
            // A datagram that cannot go is lost like any datagram; a stream has broken.
            if (m_target.IsStream())
                return false;
            break;
        }
        offset += sent;
        if (result == os::SendResult::kWouldBlock &&
            (ShouldGiveUp() || os::WaitSocketWritable(m_socket, kStepMilliseconds) < 0))
            return false;
    }
    ReportSent();
    return true;
}

// The message with the notes in its structured data, preceded by its length on a stream.
void CSyslogSender::BuildFrame()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_dropped += m_queue.TakeDropped();
    }
    char notes[CSyslogFormatter::kNoteReserveBytes];
    int length = 0;
    if (m_dropped > 0)
        length += std::snprintf(notes + length, sizeof notes - static_cast<std::size_t>(length),
                                " dropped=\"%lu\"", m_dropped);
    if (m_reconnects > 0)
        length += std::snprintf(notes + length, sizeof notes - static_cast<std::size_t>(length),
                                " reconnects=\"%lu\"", m_reconnects);
    m_frame.clear();
    if (m_target.IsStream())
    {
        char prefix[24];
        std::snprintf(
            prefix, sizeof prefix, "%lu ",
            static_cast<unsigned long>(m_pending.size() + static_cast<std::size_t>(length)));
        m_frame += prefix;
    }
    m_frame.append(m_pending, 0, m_pendingElementEnd);
    m_frame.append(notes, static_cast<std::size_t>(length));
    m_frame.append(m_pending, m_pendingElementEnd, std::string::npos);
}

void CSyslogSender::ReportSent()
{
    if (m_dropped > 0)
    {
        CString text;
        text.Format("kvlog: the syslog queue was full; %lu lines dropped\n", m_dropped);
        os::OutputDebugStringA(text);
    }
    m_dropped = 0;
    m_reconnects = 0;
    m_hasPending = false;
    if (m_pending.capacity() > kKeptStorageBytes)
        std::string().swap(m_pending);
}

// Called with m_mutex held.
unsigned long CSyslogSender::HeldLines() const
{
    return static_cast<unsigned long>(m_queue.GetCount()) + (m_hasPending ? 1UL : 0UL);
}

// Lines still queued when the flush time is up are lost; the program is told how many.
void CSyslogSender::ReportUnsent()
{
    unsigned long unsent = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        unsent = HeldLines() + m_dropped + m_queue.TakeDropped();
    }
    if (unsent == 0)
        return;
    CString text;
    text.Format("kvlog: the syslog output stopped with %lu lines not sent\n", unsent);
    os::OutputDebugStringA(text);
}

// A sender hands what is queued to the network until the flush time is up: connected, or
// connecting now unless the server has shown to be out of reach (a program that logs a line and
// ends at once stops its sender before it has connected).
void CSyslogSender::Flush()
{
    while (!ShouldGiveUp())
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_hasPending && !TakeMessage())
                return;
        }
        if (m_socket == os::kNoSocket &&
            (m_outageReported || m_resolveReported || !EnsureConnected()))
            return;
        if (!SendPending())
            return;
    }
}
