// Shared set-up of the logging module's tests: a fresh controller per test, the debugger output
// captured in memory, and a peer that reaches the controller's fields.
#pragma once

#include "CLogControl.h"
#include "CLogControlComponent.h"
#include "CLogTemplate.h"
#include "OsDebugOutput.h"
#include "TestSupport.h"
#include "kvlog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class CLogControlTestPeer
{
public:
    static CLogControl& Controller() { return *CLogControl::PeekInstance(); }
    static void SetOutputDevices(unsigned long devices) { Controller().m_outputDevices = devices; }
    static void SetMasterLevel(unsigned long level) { Controller().m_masterLevel = level; }
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
            Controller().OpenLogFile(folder.Sub("log_Test.htm"));
        else
            Controller().CloseLogFile();
    }
    static int IsLoggingDisabled() { return Controller().m_loggingDisabled; }
    static unsigned long GetBlockDepth() { return Controller().m_blockDepth; }
    static void SetBlockTime(int depth, unsigned long ticks)
    {
        Controller().m_blockTimes[depth] = ticks;
    }
    static int GetComponentCount() { return Controller().m_components.GetCount(); }
    static CLogControlComponent* GetRecord(int index)
    {
        return Controller().m_components.GetAt(Controller().m_components.FindIndex(index));
    }
    static void ApplyDefaultApplicationName(const CString& name)
    {
        Controller().ApplyDefaultApplicationName(name);
    }
    static const CLogTemplate& Template() { return *Controller().m_template; }
};

class KvlogTest : public ::testing::Test
{
protected:
    void SetUp() override { CLogControl::DestroyInstance(); }
    void TearDown() override { CLogControl::DestroyInstance(); }

    // A named application whose lines go to the debugger output in the given template.
    void StartLogging(const char* format = "COMPONENT|LEVELSTRING|ID|MESSAGE")
    {
        m_first = std::make_unique<CLogComponent>("Main", &m_firstSlot);
        m_first->SetApplicationName("Test", 1);
        CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputDebugger);
        CLogControlTestPeer::SetFormat(format);
        m_capture.Clear();
    }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        const std::string text = m_capture.GetText().str();
        std::size_t start = 0;
        for (std::size_t end = text.find('\n'); end != std::string::npos;
             end = text.find('\n', start))
        {
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        if (start < text.size())
            lines.push_back(text.substr(start));
        return lines;
    }
    std::string Output() const { return m_capture.GetText().str(); }

    os::DebugOutputCapture m_capture;
    CLogComponent* m_firstSlot = nullptr;
    std::unique_ptr<CLogComponent> m_first;
};
