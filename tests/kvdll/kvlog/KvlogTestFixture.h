// Shared set-up of the logging module's tests: a fresh controller per test, the debugger output
// captured in memory, and a peer that reaches the controller's fields.
#pragma once

#include "CSingleLock.h"
#include "InstallationFacts.h"
#include "OsDebugOutput.h"
#include "TestSupport.h"
#include "controller/CLogControl.h"
#include "kvlog.h"
#include "line/CLogTemplate.h"
#include "settings/CLogControlComponent.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

class CLogControlTestPeer
{
public:
    static CLogControl& Controller() { return *CLogControl::PeekInstance(); }
    static void SetOutputDevices(unsigned long devices) { Controller().m_outputDevices = devices; }
    static void SetMasterLevel(unsigned long level) { Controller().m_masterLevel = level; }
    // Takes effect when the log file is opened next.
    static void SetLinesPerFlush(unsigned long lines) { Controller().m_linesPerFlush = lines; }
    static void SetMaxLogFileSize(unsigned long bytes) { Controller().m_maxLogFileSize = bytes; }
    // Takes effect when the log file is opened next.
    static void SetFileMapping(bool mapped) { Controller().m_fileMapping = mapped ? 1 : 0; }
    static void SetFormat(const char* format)
    {
        Controller().m_format = format;
        Controller().ParseFormat();
    }
    // Opens a real log file in a folder that lives as long as the test program.
    static void SetLogFileOpen(int open)
    {
        static kvtest::TempDir folder;
        if (open != 0)
            Controller().OpenLogFile(folder.Path(), "log_Test.htm");
        else
            Controller().CloseLogFile();
    }
    static unsigned long GetBlockDepth() { return Controller().m_blockDepth; }
    static void SetBlockTime(int at, unsigned long ticks) { Controller().m_blockTimes[at] = ticks; }
    static int GetComponentCount() { return Controller().m_components.GetCount(); }
    static CLogControlComponent* GetRecord(int index)
    {
        return Controller().m_components.GetAt(Controller().m_components.FindIndex(index));
    }
    static void ApplyDefaultApplicationName(const CString& name)
    {
        Controller().ApplyDefaultApplicationName(name);
    }
    static bool IsObserving() { return Controller().IsObserving(); }
    static int SuspendObserving() { return Controller().SuspendObserving(); }
    static int GetNotificationsBegun() { return Controller().GetNotificationsBegun(); }
    static CMutex& Lock() { return Controller().m_lock; }

    // The loaded settings, read under the controller lock while the watch thread may reload.
    struct Settings
    {
        unsigned long masterLevel;
        CString logFileName;
        CString format;
        unsigned long linesPerFlush;
        unsigned long hexDumpBytesPerLine;
        CString openLogFile; // empty when the log file is closed
        unsigned long outputDevices;
        unsigned long dumpIndent;
    };
    static Settings GetSettings()
    {
        CLogControl& c = Controller();
        CSingleLock lock(&c.m_lock, true);
        const CString open = c.IsLogFileOpen() ? c.m_logFile.GetPath() : CString();
        return {c.m_masterLevel,   c.m_logFileName,         c.m_format,
                c.m_linesPerFlush, c.m_hexDumpBytesPerLine, open,
                c.m_outputDevices, c.m_dumpIndent};
    }
};

// A suite installation of its own (ctrl\RVT.exe and the log folder) for the test's lifetime, so
// that settings files and log files land in a fresh folder.
class TemporarySuite
{
public:
    TemporarySuite()
    {
        m_root.MakeFile("ctrl\\RVT.exe");
        m_root.MakeDir("log");
        SetSuiteRootDir(m_root.Path());
    }
    TemporarySuite(const TemporarySuite&) = delete;
    TemporarySuite& operator=(const TemporarySuite&) = delete;
    ~TemporarySuite() { ResetSuiteRootCache(); }

    CString Sub(const char* relative) const { return m_root.Sub(relative); }
    CString LogFile(const char* name) const { return Sub(CString("log\\") + name); }
    void MakeLogFolder(const char* name) const { m_root.MakeDir(CString("log\\") + name); }

private:
    kvtest::TempDir m_root;
};

class KvlogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CLogControl::DestroyInstance();
        m_suite = std::make_unique<TemporarySuite>();
    }
    void TearDown() override
    {
        CLogControl::DestroyInstance();
        m_suite.reset();
    }

    // A named application whose lines go to the debugger output in the given template.
    void StartLogging(const char* format = "COMPONENT|LEVELSTRING|ID|MESSAGE")
    {
        m_first = std::make_unique<CLogComponent>("Main", &m_firstSlot);
        m_first->SetApplicationName("Test", 1);
        // A new settings file switches stop-on-assert on; these tests must not break.
        static_cast<CLogComponentInterface&>(*m_first).hlpSetStopOnAssert(0);
        CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputDebugger);
        CLogControlTestPeer::SetFormat(format);
        m_capture.Clear();
    }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        std::istringstream stream(Output());
        for (std::string line; std::getline(stream, line);)
            lines.push_back(line);
        return lines;
    }
    std::string Output() const { return m_capture.GetText().str(); }
    // The output without the configuration reports that every settings load sends.
    std::string OutputWithoutReports() const
    {
        static const std::regex kReport(
            "<Logging Configuration>\n[\\s\\S]*?</Logging Configuration>\n");
        return std::regex_replace(Output(), kReport, "");
    }

    std::unique_ptr<TemporarySuite> m_suite;
    os::DebugOutputCapture m_capture;
    CLogComponent* m_firstSlot = nullptr;
    std::unique_ptr<CLogComponent> m_first;
};
