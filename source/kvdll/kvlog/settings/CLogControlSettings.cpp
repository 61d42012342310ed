// The controller's settings: the "config" section of the application's settings file, loaded when
// the application is named and again whenever the watch thread sees the file change.
#include "controller/CLogControl.h"

#include "CSingleLock.h"
#include "InstallationFacts.h"
#include "OsDebugOutput.h"
#include "PathOperations.h"
#include "line/LogFormatting.h"
#include "settings/CLogControlComponent.h"

namespace
{
const char kConfigSection[] = "config";
// "StopOnAssert" switches stop-on-assert on only when it holds exactly this value, so a new file
// switches it on and 1 switches it off.
const unsigned long kStopOnAssertOn = 5300;
// A reload waiting for the controller lock looks at the stop request this often.
const unsigned long kLockStepMilliseconds = 50;

void Report(const char* format, ...) KV_PRINTF_FORMAT(1, 2);
void Report(const char* format, ...)
{
    CString text;
    va_list args;
    va_start(args, format);
    FormatIntoV(text, format, args);
    va_end(args);
    os::OutputDebugStringA(text);
}
} // namespace

CString CLogControl::GetSettingsFileName() const
{
    return GetSettingsFilePath(GetSuiteLogDir(), m_applicationName);
}

CString CLogControl::GetDefaultLogFileName() const
{
    return ::GetDefaultLogFileName(m_applicationName);
}

void CLogControl::LoadSettings()
{
    CSingleLock lock(&m_lock, true);
    if (m_closed || m_applicationName.IsEmpty())
        return;
    const unsigned long oldMasterLevel = m_masterLevel;
    const CString oldFormat = m_format;
    const CString oldFileName = m_logFileName;
    unsigned long oldDevices = m_outputDevices;
    m_logFileName = GetDefaultLogFileName();
    PrepareSuiteLogDir();
    const CString settingsFile = GetSettingsFileName();
    if (Open(settingsFile))
    {
        ReadConfigSection();
        SyncAllRecords();
        Save();
        NoteSettingsFileKnown();
        Close();
    }
    else
        Report("Settings file \"%s\" not read: %s\n", settingsFile.GetString(),
               GetOpenError().GetString());
    if (m_format != oldFormat)
        ParseFormat();
    if (m_firstApplyPending != 0)
    {
        // The first load opens the log file whenever the settings ask for it.
        oldDevices = kOutputDebugger;
        m_firstApplyPending = 0;
    }
    else if (m_masterLevel != oldMasterLevel)
        WriteLevelRow(0);
    ApplyOutputSwitch(oldDevices, oldFileName);
    ApplySyslogSettings();
    if (m_displayLoggingInformation != 0)
        ReportConfiguration();
}

// The keys in the order in which a new file receives them; a deleted key comes back with the
// value in force.
void CLogControl::ReadConfigSection()
{
    const CString fileName = NormalizePath(GetString(kConfigSection, "Filename", m_logFileName));
    if (IsNameInsideFolder(fileName))
        m_logFileName = fileName;
    else
        Report("Logfile name refused, it leaves the log folder: %s\n", fileName.GetString());
    m_maxLogFileSize = GetNumber(kConfigSection, "MaxLogFileSize", m_maxLogFileSize);
    m_masterLevel = GetNumber(kConfigSection, "Level", m_masterLevel);
    m_outputDevices = GetNumber(kConfigSection, "OutputDevice", m_outputDevices);
    m_format = GetString(kConfigSection, "Format", m_format);
    m_linesPerFlush = GetNumber(kConfigSection, "FileLinesToFlush", m_linesPerFlush);
    m_displayLoggingInformation =
        static_cast<int>(GetNumber(kConfigSection, "DisplayLoggingInformation",
                                   static_cast<unsigned long>(m_displayLoggingInformation)));
    m_hexDumpBytesPerLine =
        GetNumber(kConfigSection, "NumberBytesInHexDumpLine", m_hexDumpBytesPerLine);
    m_hexDumpByteFormat = GetString(kConfigSection, "HexDumpFormat", m_hexDumpByteFormat);
    m_dumpIndent = GetNumber(kConfigSection, "DumpIndent", m_dumpIndent);
    m_globalStopOnAssert =
        GetNumber(kConfigSection, "StopOnAssert", kStopOnAssertOn) == kStopOnAssertOn ? 1 : 0;
    m_logLockEnabled = static_cast<int>(
        GetNumber(kConfigSection, "LogLockEnabled", static_cast<unsigned long>(m_logLockEnabled)));
    ReadSyslogSettings();
    ReadLogFileSettings();
}

void CLogControl::SyncAllRecords()
{
    for (POSITION position = m_components.GetHeadPosition(); position != nullptr;)
        m_components.GetNext(position)->SyncRegistry(this, m_masterLevel, m_globalStopOnAssert);
}

void CLogControl::ApplyOutputSwitch(unsigned long oldDevices, const CString& oldFileName)
{
    bool justOpened = false;
    if (oldDevices != m_outputDevices)
    {
        if ((oldDevices & kOutputFile) != 0)
        {
            if ((m_outputDevices & kOutputFile) == 0)
                CloseLogFile();
        }
        else if ((m_outputDevices & kOutputFile) != 0)
        {
            OpenLogFile(GetSuiteLogDir(), m_logFileName);
            justOpened = IsLogFileOpen();
        }
    }
    if (m_logFileName.CompareNoCase(oldFileName) != 0 && !justOpened)
    {
        CloseLogFile();
        if ((m_outputDevices & kOutputFile) != 0)
            OpenLogFile(GetSuiteLogDir(), m_logFileName);
    }
}

void CLogControl::ReportConfiguration()
{
    Report("<Logging Configuration>\n");
    Report("\tApplicationName: %s\n", m_applicationName.GetString());
    Report("\tMasterLevel: %d\n", static_cast<int>(m_masterLevel));
    Report("\tOutput: %d (1=Window, 2=File)\n", static_cast<int>(m_outputDevices));
    if ((m_outputDevices & kOutputSyslog) != 0)
        Report("\tSyslog: %s\n", m_syslog.Describe().GetString());
    if (IsLogFileOpen())
    {
        Report("\tLogFileName: file://%s\n", m_logFile.GetPath().GetString());
        Report("\t\tNumberLines until FileFlush: %d\n", static_cast<int>(m_linesPerFlush));
        Report("\t\tMaximumLogFileSize: %d\n", static_cast<int>(m_maxLogFileSize));
    }
    else
        Report("\tLogFile not active\n");
    Report("\tLogFormat: %s\n", m_format.GetString());
    Report("</Logging Configuration>\n");
}

void CLogControl::SetMasterLevel(unsigned long level)
{
    CSingleLock lock(&m_lock, true);
    if (m_closed || !Open(GetSettingsFileName()))
        return;
    SetNumber(kConfigSection, "Level", level);
    Save();
    Close();
}

void CLogControl::SyncNewComponentWithSettings()
{
    // The controller's own write is no change to reload, but another program's edit not yet
    // seen still is. The watch is not suspended for it: with components coming and going all
    // the time, a suspended watch would report nothing at all.
    if (Open(GetSettingsFileName()))
    {
        const bool asObserved = IsSettingsFileAsObserved();
        SyncAllRecords();
        Save();
        if (asObserved)
            NoteSettingsFileKnown();
        Close();
    }
}

void CLogControl::StartWatchingSettings()
{
    CSingleLock lock(&m_lock, true);
    if (!m_closed)
        StartObserving(GetSettingsFileName());
}

void CLogControl::StopWatchingSettings()
{
    StopObserving();
}

// Runs on the watch thread. The lock is taken in steps, so that a thread stopping the watch while
// it holds the lock (the last component going, the controller's closing) is never waited for in
// vain: the reload is dropped instead, also when the lock comes free only after the stop.
void CLogControl::OnSettingsFileChanged()
{
    while (!m_lock.TryLock(kLockStepMilliseconds))
        if (IsStopRequested())
            return;
    // A write of this program that the poll saw before it was noted is no change.
    if (IsStopRequested() || IsSettingsFileKnown())
    {
        m_lock.Unlock();
        return;
    }
    try
    {
        LoadSettings();
    }
    catch (...)
    {
        // Out of memory on the watch thread: this reload is dropped, the next change tries again.
    }
    m_lock.Unlock();
}
