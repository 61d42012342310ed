// The thread that hands queued syslog messages to the network, so that a logging thread never
// waits for it. It resolves the server, connects (TCP: again after every loss, with a backoff
// from 100 ms doubling to 10 s), frames each message (TCP: octet counting) and reports on the
// debugger output, once each: a server that cannot be reached or resolved, a connection that
// came back, lines that a full queue dropped. The next message that gets through carries the
// count of drops and reconnects as "dropped" and "reconnects" in its structured data.
//
// The thread keeps the sender alive by a shared reference of its own, so that a stop that does
// not wait for it (the end of the process, an unload) leaves it to finish on its own.
#pragma once

#include "OsSocket.h"
#include "OsThread.h"
#include "output/syslog/CSyslogQueue.h"
#include "output/syslog/CSyslogTarget.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

class CSyslogSender
{
public:
    enum : unsigned long
    {
        kFirstBackoffMilliseconds = 100,
        kLastBackoffMilliseconds = 10000,
        kConnectTimeoutMilliseconds = 3000,
        // After a stop, a connected sender hands queued lines to the network for this long.
        kFlushMilliseconds = 500
    };

    // A running sender, or null when no thread can be started.
    static std::shared_ptr<CSyslogSender>
    Start(const CSyslogTarget& target, std::size_t capacity = CSyslogQueue::kDefaultCapacity);

    CSyslogSender(const CSyslogTarget& target, std::size_t capacity);
    CSyslogSender(const CSyslogSender&) = delete;
    CSyslogSender& operator=(const CSyslogSender&) = delete;
    ~CSyslogSender();

    // Queues the message; takes the sender's lock for a copy, never waits on the network.
    void Enqueue(const std::string& message, std::size_t elementEnd);
    // Asks the thread to end: it hands what is queued to the network for kFlushMilliseconds
    // first. Never waits.
    void RequestStop();
    // Waits at most the given time for a stopped thread to leave its loop, then gives up its
    // handle; a thread still running then ends on its own, with a notice. The wait is for a flag
    // the thread sets before it ends, never for the thread's end itself, so it may run under the
    // Windows loader lock; a thread that the system has ended (the process ending) is not
    // waited for.
    void AwaitEnd(unsigned long waitMilliseconds);
    bool HasEnded();
    // The body of the thread that Start begins.
    void Run();

private:
    using Clock = std::chrono::steady_clock;

    // Waits for a message or the stop request; false once the stop is requested.
    bool WaitForMessage();
    bool TakeMessage();
    // A stopping sender gives up waiting once the flush time after the stop has passed.
    bool ShouldGiveUp();
    bool EnsureConnected();
    bool Resolve();
    bool Connect();
    void Disconnect();
    void WaitBackoff();
    void ReportUnsent();
    unsigned long HeldLines() const;
    // False when the connection broke; the message then stays pending.
    bool SendPending();
    void BuildFrame();
    void ReportSent();
    void Flush();

    const CSyslogTarget m_target;
    os::ThreadHandle m_thread = 0;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    CSyslogQueue m_queue;           // guarded by m_mutex
    bool m_stopRequested = false;   // guarded by m_mutex
    bool m_senderIdle = false;      // guarded by m_mutex; the sender waits for lines
    Clock::time_point m_giveUpTime; // guarded by m_mutex
    bool m_ended = false;           // guarded by m_mutex

    // The sending thread's own state.
    os::SocketAddress m_address;
    bool m_resolved = false;
    os::SocketHandle m_socket = os::kNoSocket;
    bool m_everConnected = false;
    bool m_outageReported = false;
    bool m_resolveReported = false;
    unsigned long m_backoff = kFirstBackoffMilliseconds;
    std::string m_pending;
    std::size_t m_pendingElementEnd = 0;
    bool m_hasPending = false;
    unsigned long m_dropped = 0;
    unsigned long m_reconnects = 0;
    std::string m_frame;
};
