#include "output/syslog/CSyslogOutput.h"

#include "OsDebugOutput.h"
#include "OsSocket.h"
#include "OsThread.h"
#include "output/syslog/CSyslogSender.h"

#include <new>

CSyslogOutput::CSyslogOutput() = default;

CSyslogOutput::~CSyslogOutput()
{
    Stop();
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
    if (m_sender == nullptr)
        StartSender();
    if (m_sender == nullptr)
        return;
    const std::size_t elementEnd = m_formatter.Format(fields, m_message);
    m_sender->Enqueue(m_message, elementEnd);
}

void CSyslogOutput::Stop()
{
    if (m_sender == nullptr)
        return;
    m_sender->Stop(os::CanAwaitThreadEnd() ? kStopWaitMilliseconds : 0UL);
    m_sender.reset();
}

void CSyslogOutput::Close()
{
    Stop();
    m_configured = false;
}

void CSyslogOutput::ForgetSenderAfterFork()
{
    if (m_sender != nullptr)
        new (m_parentSender) std::shared_ptr<CSyslogSender>(std::move(m_sender));
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
    m_sender = CSyslogSender::Start(m_target);
    if (m_sender == nullptr)
    {
        m_configured = false;
        Report("the syslog sender thread cannot be started");
    }
}
