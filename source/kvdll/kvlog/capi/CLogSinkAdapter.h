// The process's C sink: a CLogInterface that calls the application's function pointers.
#pragma once

#include "kvlog.h"
#include "kvlog_c.h"

#include <mutex>

class CLogSinkAdapter final : public CLogInterface
{
public:
    // The one adapter of the process. It is never destroyed, so that a controller that still
    // holds it at module unload never calls into a destroyed object.
    static CLogSinkAdapter& Instance();

    // Installs the functions through the component; both null remove the sink.
    void Install(CLogComponent& component, kvlog_error_written_fn onErrorWritten,
                 kvlog_log_event_fn onLogEvent, void* context);

    int OnErrorWritten() override;
    void OnLogEvent(const CString& time, unsigned long level, const CString& levelString,
                    const CString& message) override;

private:
    CLogSinkAdapter() = default;

    std::mutex m_installing;
    // Written only while no controller holds the adapter; read under the controller lock.
    kvlog_error_written_fn m_onErrorWritten = nullptr;
    kvlog_log_event_fn m_onLogEvent = nullptr;
    void* m_context = nullptr;
};
