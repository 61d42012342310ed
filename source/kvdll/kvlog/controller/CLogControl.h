// The one controller of a process behind every CLogComponent: registry of components, application
// name, line template, line output, the application's sink, and the settings file it loads and
// watches (the store and the watch thread are its two bases).
//
// Lock order throughout the module: a component's lock, then this controller's lock, then a
// component record's lock, then the settings store's lock.
#pragma once

#include "CMutex.h"
#include "CString.h"
#include "CULList.h"
#include "FrameworkTypes.h"
#include "line/CHexDumpFormatter.h"
#include "line/CLineBuffer.h"
#include "output/CLogFile.h"
#include "output/CSystemLogHeaderFacts.h"
#include "output/syslog/CSyslogOutput.h"
#include "settings/CRefusedValues.h"
#include "settings/CRegistryObserver.h"
#include "settings/CRegistrySync.h"
#include "settings/CSettingKey.h"

#include <atomic>
#include <functional>
#include <memory>

class CLogComponent;
class CLogControlComponent;
class CLogInterface;
class CLogTemplate;
struct CLogLineFields;

class CLogControl : public CRegistrySync, private CRegistryObserver
{
public:
    class CLogString;

    enum
    {
        kOutputDebugger = 1,
        kOutputFile = 2,
        kOutputSyslog = 4,
        kTimedBlockDepths = 20
    };

    // Creates the controller on first use; null only when it cannot be created.
    static CLogControl* GetInstance();
    // The controller, or null when there is none.
    static CLogControl* PeekInstance();
    // Deletes the controller (tests use it to start afresh). Components that still exist find no
    // controller afterwards and do nothing.
    static void DestroyInstance();
    // Module unload: closes the controller (log file footer written, watch thread stopped) and
    // frees it only when no component is alive. Otherwise it stays, closed, for the threads that
    // may still hold it: every later call does nothing.
    static void CloseInstance();

    // Fork handlers (CLiveComponents): the controller lock is held across a fork. The child keeps
    // the parent's settings, does not watch the settings file, leaves the inherited log file to
    // the parent (it adds lines but never empties it or writes its footer) and forgets the
    // parent's syslog sender, whose thread it does not have.
    bool TryLockForFork();
    void UnlockAfterFork(bool inChild);

    CLogControlComponent* RegisterComponent(CLogComponent* component, const char* name);
    void UnregisterComponent(CLogControlComponent* record);

    void SetApplicationName(const char* name, int flag);
    const CString& GetApplicationName() const { return m_applicationName; }
    CString DetectApplicationName() const;
    // The name that a command line yields, or an empty text when it yields none (Windows).
    static CString DetectApplicationNameFrom(const char* commandLine);
    // The name that a program file yields: its base name up to its last ".", whatever the
    // arguments (POSIX). An empty text when it yields none.
    static CString DetectApplicationNameFromProgram(const char* programPath);

    void SetLogInterface(CLogInterface* sink);
    void AddLevelDescription(CLogComponent* component, unsigned long level, const char* levelString,
                             unsigned long colour);
    void LogEvent(unsigned long level, const CString& levelString, const CString& message);

    void StartBlock();
    void EndBlock();
    // Duration in milliseconds of the block closed last just inside the current depth.
    unsigned long GetLastBlockDuration();

    int HasFunctionField();
    CString GetFilename();
    unsigned long GetMasterLevel() const { return m_masterLevel; }

    // Filters, renders and outputs one line. record may be null (a line of no component).
    void OutputLine(CLogControlComponent* record, const char* file, unsigned long line,
                    const char* function, unsigned long level, const char* levelString,
                    const char* id, unsigned long colour, const char* message);
    // Turns the bytes into dump text and outputs it as the message of one line.
    void OutputDump(CLogControlComponent* record, const char* file, unsigned long line,
                    const char* function, unsigned long level, const char* levelString,
                    const char* id, const void* data, unsigned long length, unsigned long colour,
                    const char* message);
    // 1 for 0, k + 1 for the single bit k, the mask itself for several bits.
    static unsigned long LevelNumberFromMask(unsigned long mask);

    void ParseFormat();

    // Log file (CLogControlLogFile.cpp). OpenLogFile closes an open file first, so a switch to
    // another name is one call; the name lies below the folder, which other accounts may share.
    // The file takes "MaxLogFileSize", "FileLinesToFlush" and the master level from the
    // controller's fields whenever it writes.
    void OpenLogFile(const char* folder, const char* name);
    void CloseLogFile();
    void ResetLogFile();
    // Table form 0 puts the row between the log lines (a changed level after a settings load).
    void WriteLevelRow(int tableForm);
    bool IsLogFileOpen() const { return m_logFile.IsOpen(); }

    // The application's values in the settings file's "UserDefined" section
    // (CLogControlUserSettings.cpp).
    unsigned long LogGetSetting(const char* key, unsigned long defaultValue);
    void LogSetSetting(const char* key, unsigned long value);
    CString LogGetSetting(const char* key, const char* defaultValue);
    void LogSetSetting(const char* key, const char* value);

    // Settings (CLogControlSettings.cpp). LoadSettings reads the "config" section (writing every
    // missing key with the value in force), syncs every component record and applies what
    // changed; it runs when the application is named and whenever the settings file changes.
    // Like every use of the settings file it must not be called with the controller lock held.
    void LoadSettings();
    // Writes the level into the settings file; it takes effect at the next load.
    void SetMasterLevel(unsigned long level);
    // "xdb_" + application name (blanks as "_") + ".xdb" in the suite's log folder.
    CString GetSettingsFileName() const;
    int GetGlobalStopOnAssert() const { return m_globalStopOnAssert; }
    // Reads the entry into value when the table of keys (CSettingKey) takes its text, without
    // writing anything; a missing entry gives the missing value. A refused text leaves the value
    // in force, is reported once (CRefusedValues), and gives false. Called under the controller
    // lock.
    bool ReadChecked(CSettingKey::Section kind, const char* section, const char* key,
                     unsigned long& value, unsigned long missing);
    bool ReadChecked(CSettingKey::Section kind, const char* section, const char* key,
                     CString& value, const char* missing);

private:
    friend class CLogControlTestPeer;

    CLogControl();
    CLogControl(const CLogControl&) = delete;
    CLogControl& operator=(const CLogControl&) = delete;
    ~CLogControl();
    void CloseAtUnload();
    void CloseAtProcessEnd();

    // Application name (CLogControlApplicationName.cpp).
    void ApplyDefaultApplicationName(const CString& detectedName);
    // False when the application had a name already (reported unless the name is a default).
    bool NameApplication(const char* name, int flag, bool byDefault);
    // Before a line: names the application when it has no name yet and waits (bounded) until
    // its first settings load has been applied, so that no line goes out before the settings.
    void PrepareForFirstLine();

    // Line output (CLogControlOutput.cpp).
    bool PassesFilter(const CLogControlComponent* record, unsigned long level) const;
    // The local time as "hh:mm:ss.mmm" in the scratch text.
    const CString& FormatClockTime();
    void DispatchLine(const CLineBuffer& formattedLine, const CLogLineFields& fields,
                      unsigned long level, unsigned long colour);

    // Log file (CLogControlLogFile.cpp).
    // The formatted line, or the fields as a JSON object to a ".jsonl" file.
    bool WriteFileLine(const CLineBuffer& formattedLine, const CLogLineFields& fields,
                       unsigned long level, unsigned long colour);
    void SyncLogFileSettings();
    // "FileMapping" 1 maps the file at its next opening; "FileBackups" keeps that many earlier
    // files. Both are read when present and never written.
    void ReadLogFileSettings();

    // Syslog output (output/syslog/CLogControlSyslog.cpp). The settings are read when present
    // and never written, so that a new settings file lists only the keys every program uses.
    void ReadSyslogSettings();
    void ApplySyslogSettings();
    void SendToSyslog(const CLogControlComponent* record, const char* file, unsigned long line,
                      const char* function, unsigned long level, const char* levelString,
                      const char* id, const char* message);

    // Hex dump (CLogControlHexDump.cpp).
    void FormatHexDump(const void* data, unsigned long length, const char* message);

    // Settings hooks (CLogControlSettings.cpp).
    enum class SettingsUse
    {
        kReload,      // the whole file is applied: its state is this program's own afterwards
        kWatchReload, // the same, unless the change seen is this program's own write
        kChange,      // a change of this program, its own unless another program wrote first
        kLeftToWatch, // a change that the watch's reload is to take into force
    };
    void LoadSettingsFile(SettingsUse use);
    // Runs change under the controller lock with the settings file held and read (opened true)
    // or not usable (false), and without a file before the application is named; the waits for
    // the file and the save happen outside the lock. False when the controller is closed or the
    // watch thread is stopping.
    bool UseSettingsFile(SettingsUse use, const std::function<void(bool opened)>& change);
    enum class SettingsPass
    {
        kDone,
        kAgain, // another program created the first file meanwhile
        kStopped,
    };
    SettingsPass UseSettingsFileOnce(SettingsUse use, const CString& path,
                                     const std::function<void(bool opened)>& change);
    // Takes the controller lock; on the watch thread in steps, giving up when its stop is asked.
    bool LockController();
    void ReportSettingsFailure(const CString& path, bool opened);
    void ApplySettings(bool opened);
    void SyncWithSettings(CLogControlComponent* record, SettingsUse use);
    // Values that could not be stored so far get one more try.
    void StorePendingSettings();
    void StartWatchingSettings();
    void StopWatchingSettings();
    void OnSettingsFileChanged() override;
    void ReadConfigSection();
    // A key of "config" that a new file receives: written with the value in force where it is
    // missing, then read by the table.
    void ConfigNumber(const char* key, unsigned long& value);
    void ConfigNumber(const char* key, int& value);
    void ConfigText(const char* key, CString& value);
    // True when the table takes the text; else the refusal is reported once.
    bool CheckSetting(CSettingKey::Section kind, const char* section, const char* key,
                      const CString& text, unsigned long* number);
    void SyncAllRecords();
    void ApplyOutputSwitch(unsigned long oldDevices, const CString& oldFileName);
    void ReportConfiguration();
    CString GetDefaultLogFileName() const;

    CString m_applicationName;
    CLogInterface* m_sink = nullptr;
    int m_loggingDisabled = 0;
    unsigned long m_masterLevel = 15;
    unsigned long m_outputDevices = kOutputFile;
    CString m_logFileName;
    unsigned long m_maxLogFileSize = 100000000;
    CString m_format;
    unsigned long m_linesPerFlush = 100;
    unsigned long m_fileMapping = 0;
    unsigned long m_fileBackups = 0;
    int m_displayLoggingInformation = 1;
    unsigned long m_hexDumpBytesPerLine = 16;
    CString m_hexDumpByteFormat;
    unsigned long m_dumpIndent = 3;
    int m_firstApplyPending = 1;
    std::atomic<bool> m_firstLineReady{false};
    unsigned long m_blockTimes[kTimedBlockDepths] = {};
    int m_globalStopOnAssert = 0;
    int m_logLockEnabled = 1;
    int m_applicationNameFlag = 1;
    bool m_closed = false;
    CString m_dumpText;
    CHexDumpFormatter m_hexDump;
    CString m_scratch;
    CString m_scratch2;
    SYSTEMTIME m_localTime = {};
    CMutex m_lock;
    CSystemLogHeaderFacts m_headerFacts;
    CLogFile m_logFile{m_headerFacts};
    CString m_syslogServer;
    CString m_syslogTransport;
    CString m_syslogFacility;
    CSyslogOutput m_syslog;
    // The server was refused with none in force: that notice says all, the output stays off.
    bool m_syslogServerRefused = false;
    CRefusedValues m_refusedValues;
    unsigned long m_blockDepth = 0;
    // The parsed line template with its field slots and the assembled line.
    std::unique_ptr<CLogTemplate> m_template;
    // One owned record per registered component, in order of registration.
    CULList<CLogControlComponent*> m_components;

    static std::atomic<CLogControl*> s_instance;
    // Set at module unload: no controller is created afterwards.
    static std::atomic<bool> s_unloaded;
};
