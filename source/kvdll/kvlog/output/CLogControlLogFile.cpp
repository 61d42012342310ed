// The controller's log file: opening, closing and resetting under the controller's lock.
#include "controller/CLogControl.h"

#include "CSingleLock.h"

namespace
{
const char kConfigSection[] = "config";
const unsigned long kFileMappingOn = 1;
} // namespace

void CLogControl::ReadFileMappingSetting()
{
    m_fileMapping = ReadNumber(kConfigSection, "FileMapping", 0);
}

void CLogControl::SyncLogFileSettings()
{
    m_logFile.SetMaxFileSize(static_cast<DWORD>(m_maxLogFileSize));
    m_logFile.SetLinesToFlush(static_cast<DWORD>(m_linesPerFlush));
    m_logFile.SetMasterLevel(m_masterLevel);
    m_logFile.SetMapping(m_fileMapping == kFileMappingOn);
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

bool CLogControl::WriteFileLine(const CLineBuffer& formattedLine, unsigned long colour)
{
    SyncLogFileSettings();
    return m_logFile.WriteLine(formattedLine.GetData(), formattedLine.GetLength(), colour);
}
