#include "capi/CLogSinkAdapter.h"

CLogSinkAdapter& CLogSinkAdapter::Instance()
{
    static CLogSinkAdapter* const adapter = new CLogSinkAdapter;
    return *adapter;
}

void CLogSinkAdapter::Install(CLogComponent& component, kvlog_error_written_fn onErrorWritten,
                              kvlog_log_event_fn onLogEvent, void* context)
{
    std::lock_guard<std::mutex> installing(m_installing);
    // The controller calls its sink under its lock, which this removal takes: once it returns,
    // no call is running in the adapter and the functions can be swapped.
    component.SetLogInterface(nullptr);
    m_onErrorWritten = onErrorWritten;
    m_onLogEvent = onLogEvent;
    m_context = context;
    if (onErrorWritten != nullptr || onLogEvent != nullptr)
        component.SetLogInterface(this);
}

int CLogSinkAdapter::OnErrorWritten()
{
    return m_onErrorWritten != nullptr ? m_onErrorWritten(m_context) : 0;
}

void CLogSinkAdapter::OnLogEvent(const CString& time, unsigned long level,
                                 const CString& levelString, const CString& message)
{
    if (m_onLogEvent != nullptr)
        m_onLogEvent(m_context, time.GetString(), level, levelString.GetString(),
                     message.GetString());
}
