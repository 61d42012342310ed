// The syslog output of the controller: applies the syslog settings, formats each line and hands
// it to the sender thread. Not synchronised: the controller's lock guards it.
//
// A process that forks leaves the parent's sender behind in the child untouched (its thread
// does not exist there, its lock may be held): the child forgets it, neither stopping nor freeing
// it, and its first line starts a sender of its own. The sender ends with the controller and when
// the last component goes.
#pragma once

#include "CString.h"
#include "output/syslog/CSyslogFormatter.h"
#include "output/syslog/CSyslogTarget.h"

#include <memory>
#include <string>

class CSyslogSender;

class CSyslogOutput
{
public:
    enum : unsigned long
    {
        // How long a stop waits for queued lines to reach a connected server.
        kStopWaitMilliseconds = 1000
    };

    CSyslogOutput();
    CSyslogOutput(const CSyslogOutput&) = delete;
    CSyslogOutput& operator=(const CSyslogOutput&) = delete;
    ~CSyslogOutput();

    // Starts, restarts or stops the sender to match the settings. A value that cannot be used
    // is reported once on the debugger output, and the output stays off until it changes.
    void Configure(bool enabled, const char* server, const char* transport, const char* facility,
                   const char* applicationName);
    bool IsRunning() const { return m_sender != nullptr; }
    // "host:port over udp", or "not in use" when the settings name no usable server.
    CString Describe() const;
    // Formats the line and queues it; nothing when the output is off. A configured output whose
    // sender was stopped starts a new one.
    void Send(const CSyslogFields& fields);
    // Ends the sender, keeping the configuration: the next line starts a new one. Where a
    // thread's end may be awaited, a connected sender gets kStopWaitMilliseconds to hand the
    // queued lines to the network; elsewhere (Windows, perhaps under the loader lock) it is only
    // asked to end, and ends on its own.
    void Stop();
    // Ends the sender for good (the module is unloading).
    void Close();
    // In the child of a fork, from its fork handler: the sender is the parent's.
    void ForgetSenderAfterFork();

private:
    void Report(const CString& problem);
    void StartSender();

    CSyslogTarget m_target;
    CSyslogFormatter m_formatter;
    std::shared_ptr<CSyslogSender> m_sender;
    // A parent's sender, moved here in the child and never destroyed, so that neither its lock
    // nor its reference count is touched (and nothing is allocated in the fork handler).
    alignas(std::shared_ptr<CSyslogSender>) unsigned char m_parentSender[sizeof(
        std::shared_ptr<CSyslogSender>)];
    bool m_configured = false;
    CString m_reportedProblem;
    std::string m_message;
};
