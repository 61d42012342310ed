// The syslog output of the controller: applies the syslog settings, formats each line and hands
// it to the sender thread. Not synchronised: the controller's lock guards it.
//
// A process that forks leaves the parent's sender behind in the child untouched (its thread
// does not exist there, its lock may be held): the child forgets it, neither stopping nor freeing
// it, and its first line starts a sender of its own. The sender ends with the controller and when
// the last component goes.
//
// Stopping a sender never waits: the controller's lock is held then. A stopped sender is kept
// until its owner awaits it with that lock released (the last component going, the unload, the
// controller's deletion); one that has ended meanwhile is let go at the next stop.
#pragma once

#include "CString.h"
#include "output/syslog/CSyslogFormatter.h"
#include "output/syslog/CSyslogTarget.h"

#include <memory>
#include <string>
#include <vector>

class CSyslogSender;

class CSyslogOutput
{
public:
    using StoppedSenders = std::vector<std::shared_ptr<CSyslogSender>>;

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
    // "host:port over udp", or "not in use" when the settings name no usable server.
    CString Describe() const;
    // Formats the line and queues it; nothing when the output is off. A configured output whose
    // sender was stopped starts a new one.
    void Send(const CSyslogFields& fields);
    // Asks the sender to end, keeping the configuration: the next line starts a new one.
    void Stop();
    // Stops the sender for good (the module is unloading).
    void Close();
    // The stopped senders, for AwaitEnd once the controller's lock is released.
    StoppedSenders TakeStoppedSenders();
    // Gives each sender kStopWaitMilliseconds at most to hand its queued lines to the network.
    static void AwaitEnd(StoppedSenders& senders);
    // In the child of a fork, from its fork handler: the sender is the parent's.
    void ForgetSenderAfterFork();

private:
    void Report(const CString& problem);
    void StartSender();

    CSyslogTarget m_target;
    CSyslogFormatter m_formatter;
    struct Senders
    {
        std::shared_ptr<CSyslogSender> running;
        StoppedSenders stopped;
    };
    Senders m_senders;
    // A parent's senders, moved here in the child and never destroyed, so that neither their
    // locks nor their reference counts are touched (and nothing is allocated in the fork handler).
    alignas(Senders) unsigned char m_parentSenders[sizeof(Senders)];
    bool m_configured = false;
    CString m_reportedProblem;
    std::string m_message;
};
