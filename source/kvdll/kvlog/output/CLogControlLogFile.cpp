// The controller's log file: opening, closing and resetting under the controller's lock.
#include "controller/CLogControl.h"

#include "CSingleLock.h"
#include "OsProcess.h"
#include "line/CLogTemplate.h"

namespace
{
const char kConfigSection[] = "config";
const unsigned long kFileMappingOn = 1;
} // namespace

void CLogControl::ReadLogFileSettings()
{
    ReadChecked(CSettingKey::kConfig, kConfigSection, "FileMapping", m_fileMapping, 0);
    ReadChecked(CSettingKey::kConfig, kConfigSection, "FileBackups", m_fileBackups, 0);
}

void CLogControl::SyncLogFileSettings()
{
    m_logFile.SetMaxFileSize(static_cast<DWORD>(m_maxLogFileSize));
    m_logFile.SetLinesToFlush(static_cast<DWORD>(m_linesPerFlush));
    m_logFile.SetMasterLevel(m_masterLevel);
    m_logFile.SetMapping(m_fileMapping == kFileMappingOn);
    m_logFile.SetKeptFiles(m_fileBackups);
}

void CLogControl::OpenLogFile(const char* folder, const char* name)
{
    CSingleLock lock(&m_lock, true);
    if (m_closed)
        return;
    SyncLogFileSettings();
    m_logFile.Open(folder, name);
}

void CLogControl::CloseLogFile()
{
    CSingleLock lock(&m_lock, true);
    m_logFile.Close();
}

void CLogControl::ResetLogFile()
{
    CSingleLock lock(&m_lock, true);
    SyncLogFileSettings();
    m_logFile.Reset();
}

void CLogControl::WriteLevelRow(int tableForm)
{
    CSingleLock lock(&m_lock, true);
    SyncLogFileSettings();
    m_logFile.WriteLevelRow(tableForm != 0);
}

bool CLogControl::WriteFileLine(const CLineBuffer& formattedLine, const CLogLineFields& fields,
                                unsigned long level, unsigned long colour)
{
    SyncLogFileSettings();
    if (!m_logFile.IsJson())
        return m_logFile.WriteLine(formattedLine.GetData(), formattedLine.GetLength(), colour);
    CJsonLineFields json;
    os::GetPreciseLocalTime(&json.time);
    json.level = level;
    json.levelString = fields.levelString;
    json.application = m_applicationName;
    json.processId = os::GetCurrentProcessId();
    json.thread = os::GetCurrentThreadId();
    json.component = fields.component;
    json.id = fields.id;
    json.file = fields.file;
    json.line = fields.line;
    json.function = fields.function;
    json.blockDepth = m_blockDepth;
    json.message = fields.message;
    return m_logFile.WriteLine(json);
}
