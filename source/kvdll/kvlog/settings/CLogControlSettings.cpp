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
// A first file that other programs keep creating in the same moment is given up after this.
const int kSettingsAttempts = 3;

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
    LoadSettingsFile(SettingsUse::kReload);
}

void CLogControl::LoadSettingsFile(SettingsUse use)
{
    PrepareSuiteLogDir();
    UseSettingsFile(use, [this](bool opened) { ApplySettings(opened); });
}

bool CLogControl::LockController()
{
    if (!IsWatchThread())
    {
        m_lock.Lock();
        return true;
    }
    while (!m_lock.TryLock(kLockStepMilliseconds))
        if (IsStopRequested())
            return false;
    if (!IsStopRequested())
        return true;
    m_lock.Unlock();
    return false;
}

// The file is held and read, then saved, outside the controller lock: no thread that logs ever
// waits for another program behind it. A first file that another program created meanwhile is
// taken as it is and the use made again.
bool CLogControl::UseSettingsFile(SettingsUse use, const std::function<void(bool opened)>& change)
{
    if (!LockController())
        return false;
    const bool closed = m_closed;
    const bool named = !m_applicationName.IsEmpty();
    const CString path = named ? GetSettingsFileName() : CString();
    if (!closed && !named)
        change(false);
    m_lock.Unlock();
    if (closed || !named)
        return !closed;
    for (int attempt = 0; attempt < kSettingsAttempts; ++attempt)
    {
        const SettingsPass pass = UseSettingsFileOnce(use, path, change);
        if (pass != SettingsPass::kAgain)
            return pass == SettingsPass::kDone;
    }
    return true;
}

CLogControl::SettingsPass
CLogControl::UseSettingsFileOnce(SettingsUse use, const CString& path,
                                 const std::function<void(bool opened)>& change)
{
    const bool opened = Open(path, &IsStopRequested) != 0;
    if (!LockController())
    {
        Close();
        return SettingsPass::kStopped;
    }
    // A write of this program that the poll saw before it was noted is no change.
    if (opened && use == SettingsUse::kWatchReload && IsSettingsFileKnown())
    {
        m_lock.Unlock();
        Close();
        return SettingsPass::kDone;
    }
    const bool asObserved = opened && IsSettingsFileAsObserved();
    if (!m_closed)
        change(opened);
    m_lock.Unlock();
    const bool saved = opened && Save() != 0;
    // The watch's baseline is the controller's, and the file is still held.
    const bool known = use == SettingsUse::kReload || use == SettingsUse::kWatchReload ||
                       (use == SettingsUse::kChange && asObserved);
    if (saved && known && LockController())
    {
        NoteSettingsFileKnown();
        m_lock.Unlock();
    }
    const bool again = opened && !saved && WasTakenMeanwhile();
    Close();
    ReportSettingsFailure(path, opened);
    return again ? SettingsPass::kAgain : SettingsPass::kDone;
}

void CLogControl::ReportSettingsFailure(const CString& path, bool opened)
{
    if (!TakeNewFailure() || IsStopRequested())
        return;
    if (opened)
        Report("Settings file \"%s\" not written: %s. The settings stay in force and are stored "
               "at the next save that succeeds.\n",
               path.GetString(), GetOpenError().GetString());
    else
        Report("Settings file \"%s\" not read: %s\n", path.GetString(), GetOpenError().GetString());
}

// Under the controller lock, with the settings file read when it could be.
void CLogControl::ApplySettings(bool opened)
{
    if (m_applicationName.IsEmpty())
        return;
    const unsigned long oldMasterLevel = m_masterLevel;
    const CString oldFormat = m_format;
    const CString oldFileName = m_logFileName;
    unsigned long oldDevices = m_outputDevices;
    m_logFileName = GetDefaultLogFileName();
    if (opened)
    {
        ReadConfigSection();
        SyncAllRecords();
    }
    if (m_format != oldFormat)
        ParseFormat();
    if (m_firstApplyPending != 0)
    {
        // The first load opens the log file whenever the settings ask for it.
        oldDevices = kOutputDebugger;
        m_firstApplyPending = 0;
        m_firstLineReady.store(true, std::memory_order_release);
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
    m_refusedValues.StartLoad();
    ConfigText("Filename", m_logFileName);
    m_logFileName = NormalizePath(m_logFileName);
    ConfigNumber("MaxLogFileSize", m_maxLogFileSize);
    ConfigNumber("Level", m_masterLevel);
    ConfigNumber("OutputDevice", m_outputDevices);
    ConfigText("Format", m_format);
    ConfigNumber("FileLinesToFlush", m_linesPerFlush);
    ConfigNumber("DisplayLoggingInformation", m_displayLoggingInformation);
    ConfigNumber("NumberBytesInHexDumpLine", m_hexDumpBytesPerLine);
    ConfigText("HexDumpFormat", m_hexDumpByteFormat);
    ConfigNumber("DumpIndent", m_dumpIndent);
    GetNumber(kConfigSection, "StopOnAssert", kStopOnAssertOn);
    unsigned long stopOnAssert = m_globalStopOnAssert != 0 ? kStopOnAssertOn : 0;
    ReadChecked(CSettingKey::kConfig, kConfigSection, "StopOnAssert", stopOnAssert,
                kStopOnAssertOn);
    m_globalStopOnAssert = stopOnAssert == kStopOnAssertOn ? 1 : 0;
    ConfigNumber("LogLockEnabled", m_logLockEnabled);
    ReadSyslogSettings();
    ReadLogFileSettings();
}

void CLogControl::ConfigNumber(const char* key, unsigned long& value)
{
    GetNumber(kConfigSection, key, value);
    ReadChecked(CSettingKey::kConfig, kConfigSection, key, value, value);
}

void CLogControl::ConfigNumber(const char* key, int& value)
{
    unsigned long number = static_cast<unsigned long>(value);
    ConfigNumber(key, number);
    value = static_cast<int>(number);
}

void CLogControl::ConfigText(const char* key, CString& value)
{
    GetString(kConfigSection, key, value);
    ReadChecked(CSettingKey::kConfig, kConfigSection, key, value, value);
}

bool CLogControl::ReadChecked(CSettingKey::Section kind, const char* section, const char* key,
                              unsigned long& value, unsigned long missing)
{
    CString missingText;
    missingText.Format("%lu", missing);
    return CheckSetting(kind, section, key, ReadString(section, key, missingText), &value);
}

bool CLogControl::ReadChecked(CSettingKey::Section kind, const char* section, const char* key,
                              CString& value, const char* missing)
{
    const CString text = ReadString(section, key, missing);
    if (!CheckSetting(kind, section, key, text, nullptr))
        return false;
    value = text;
    return true;
}

bool CLogControl::CheckSetting(CSettingKey::Section kind, const char* section, const char* key,
                               const CString& text, unsigned long* number)
{
    CString problem;
    if (CSettingKey::Find(kind, key)->Check(text, problem, number))
        return true;
    problem = "[" + CString(section) + "] " + problem;
    if (m_refusedValues.Note(problem))
        Report("Setting refused, the value in force stays: %s\n", problem.GetString());
    return false;
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

// Taken into force by the watch's reload, as another program's edit would be.
void CLogControl::SetMasterLevel(unsigned long level)
{
    UseSettingsFile(SettingsUse::kLeftToWatch,
                    [this, level](bool) { SetNumber(kConfigSection, "Level", level); });
}

void CLogControl::SyncWithSettings(CLogControlComponent* record, SettingsUse use)
{
    UseSettingsFile(use,
                    [this, record](bool opened)
                    {
                        if (opened && m_components.Find(record) != nullptr)
                            record->SyncRegistry(this, m_masterLevel, m_globalStopOnAssert);
                    });
}

void CLogControl::StorePendingSettings()
{
    if (HasPendingValues())
        UseSettingsFile(SettingsUse::kChange, [](bool) {});
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

// Runs on the watch thread, which gives up every wait as soon as its stop is asked for: a thread
// stopping the watch while it holds the controller lock (the last component going, the
// controller's closing) is never waited for in vain.
void CLogControl::OnSettingsFileChanged()
{
    try
    {
        LoadSettingsFile(SettingsUse::kWatchReload);
    }
    catch (...)
    {
        // Out of memory on the watch thread: this reload is dropped, the next change tries again.
    }
}
