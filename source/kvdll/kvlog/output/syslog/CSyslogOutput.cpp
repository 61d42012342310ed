#include "output/syslog/CSyslogOutput.h"

#include "OsDebugOutput.h"
#include "OsSocket.h"
#include "OsThread.h"
#include "output/syslog/CSyslogSender.h"

#include <algorithm>
#include <new>

CSyslogOutput::CSyslogOutput() = default;

CSyslogOutput::~CSyslogOutput()
{
    Stop();
    AwaitEnd(m_senders.stopped);
}

void CSyslogOutput::Configure(bool enabled, const char* server, const char* transport,
                              const char* facility, const char* applicationName)
{
    if (!enabled)
    {
        Close();
        m_reportedProblem.Empty();
        return;
    }
    CSyslogTarget target;
    CString problem;
    if (server == nullptr || *server == '\0')
        problem = "\"OutputDevice\" asks for syslog, but \"SyslogServer\" is not set";
    else
        target.Parse(server, transport, facility, problem);
    if (!problem.IsEmpty())
    {
        Close();
        Report(problem);
        return;
    }
    m_reportedProblem.Empty();
    m_formatter.SetIdentity(applicationName, os::GetHostName(), target.GetFacility());
    if (m_configured && target == m_target)
        return;
    Stop();
    m_target = target;
    m_configured = true;
    StartSender();
}

void CSyslogOutput::Send(const CSyslogFields& fields)
{
    if (!m_configured)
        return;
    if (m_senders.running == nullptr)
        StartSender();
    if (m_senders.running == nullptr)
        return;
    const std::size_t elementEnd = m_formatter.Format(fields, m_message);
    m_senders.running->Enqueue(m_message, elementEnd);
}

void CSyslogOutput::Stop()
{
    if (m_senders.running == nullptr)
        return;
    StoppedSenders& stopped = m_senders.stopped;
    const auto ended = [](const std::shared_ptr<CSyslogSender>& sender)
    {
        if (!sender->HasEnded())
            return false;
        sender->AwaitEnd(0);
        return true;
    };
    stopped.erase(std::remove_if(stopped.begin(), stopped.end(), ended), stopped.end());
    m_senders.running->RequestStop();
    try
    {
        stopped.push_back(std::move(m_senders.running));
    }
    catch (...)
    {
        // Out of memory: the sender ends on its own, unawaited.
        m_senders.running.reset();
    }
}

void CSyslogOutput::Close()
{
    Stop();
    m_configured = false;
}

CSyslogOutput::StoppedSenders CSyslogOutput::TakeStoppedSenders()
{
    return std::move(m_senders.stopped);
}

void CSyslogOutput::AwaitEnd(StoppedSenders& senders)
{
    for (const std::shared_ptr<CSyslogSender>& sender : senders)
        sender->AwaitEnd(kStopWaitMilliseconds);
    senders.clear();
}

void CSyslogOutput::ForgetSenderAfterFork()
{
    new (m_parentSenders) Senders(std::move(m_senders));
    m_senders.running.reset();
    m_senders.stopped.clear();
}

CString CSyslogOutput::Describe() const
{
    return m_configured ? m_target.Describe() : CString("not in use");
}

void CSyslogOutput::Report(const CString& problem)
{
    if (problem == m_reportedProblem)
        return;
    m_reportedProblem = problem;
    os::OutputDebugStringA("kvlog: " + problem + "; lines go on to the other outputs\n");
}

void CSyslogOutput::StartSender()
{
    m_senders.running = CSyslogSender::Start(m_target);
    if (m_senders.running == nullptr)
    {
        m_configured = false;
        Report("the syslog sender thread cannot be started");
    }
}
