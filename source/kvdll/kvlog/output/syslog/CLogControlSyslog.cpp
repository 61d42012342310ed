// The controller's side of the syslog output: its settings and the hand-over of each line.
#include "controller/CLogControl.h"

#include "OsProcess.h"
#include "settings/CLogControlComponent.h"

namespace
{
const char kConfigSection[] = "config";
} // namespace

void CLogControl::ReadSyslogSettings()
{
    const CSettingKey::Section kind = CSettingKey::kConfig;
    m_syslogServerRefused =
        !ReadChecked(kind, kConfigSection, "SyslogServer", m_syslogServer, "") &&
        m_syslogServer.IsEmpty();
    ReadChecked(kind, kConfigSection, "SyslogTransport", m_syslogTransport, "");
    ReadChecked(kind, kConfigSection, "SyslogFacility", m_syslogFacility, "");
}

void CLogControl::ApplySyslogSettings()
{
    m_syslog.Configure((m_outputDevices & kOutputSyslog) != 0 && !m_syslogServerRefused,
                       m_syslogServer, m_syslogTransport, m_syslogFacility, m_applicationName);
}

void CLogControl::SendToSyslog(const CLogControlComponent* record, const char* file,
                               unsigned long line, const char* function, unsigned long level,
                               const char* levelString, const char* id, const char* message)
{
    CSyslogFields fields;
    fields.component = record != nullptr ? record->GetName().GetString() : "NotSet";
    fields.file = file;
    fields.line = line;
    fields.function = function;
    fields.level = level;
    fields.levelNumber = LevelNumberFromMask(level);
    fields.levelString = levelString;
    fields.id = id;
    fields.thread = os::GetCurrentThreadId();
    fields.message = message;
    m_syslog.Send(fields);
}
