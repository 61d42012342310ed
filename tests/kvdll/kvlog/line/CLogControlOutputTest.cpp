#include "KvlogTestFixture.h"

#include "OsProcess.h"
#include "OsTime.h"

#include <cstdio>
#include <regex>

using OutputTest = KvlogTest;

// Component lines pass the master level by the AND of the masks; lines without a component
// compare the level as a number. The thread and the local time are the caller's.
TEST_F(OutputTest, MasterLevelFiltersAndFieldsShowTheCallerAndTheProcess)
{
    StartLogging("COMPONENT|LEVEL|LEVELSTRING|MESSAGE");
    m_first->Log(__FILE__, __LINE__, __func__, 0x10, "Sixteen", "dropped");
    m_first->Log(LOG_INFORMATION, "shown");
    CLogControlTestPeer::SetMasterLevel(5);
    m_first->Log(LOG_WARNING, "dropped");
    m_first->Log(__FILE__, __LINE__, __func__, 0x11, "Multi", "several bits");
    CLogComponent::OldWriteLoggingInfo("a.cpp", 1, "f", 8, "eight");
    CLogComponent::OldWriteLoggingInfo("a.cpp", 1, "f", 2, "two");
    CLogComponent::OldWriteLoggingInfo("a.cpp", 1, "f", 0, nullptr);
    EXPECT_EQ((std::vector<std::string>{"Main|3|Information|shown", "Main|17|Multi|several bits",
                                        "NotSet|2||two", "NotSet|1||"}),
              Lines());

    CLogControlTestPeer::SetFormat(
        "COMPONENT|FILE|LINE|FUNCTION|LEVELSTRING|THREAD|THREADX|TIME|DATETIME");
    m_capture.Clear();
    SYSTEMTIME now{};
    os::GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute == 59)
        GTEST_SKIP() << "a line logged across midnight is not checked";
    m_first->Log("motor.cpp", 42, "Move", 4, "Information", "x");
    const unsigned long thread = os::GetCurrentThreadId();
    char expected[128];
    std::snprintf(expected, sizeof(expected),
                  "Main|motor.cpp|42|Move|Information|%lu|0x%lX|T|%04d-%02d-%02d T\n", thread,
                  thread, now.wYear, now.wMonth, now.wDay);
    const std::regex clock("[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}");
    EXPECT_EQ(expected, std::regex_replace(Output(), clock, "T"));
}
#ifndef _WIN32
// A full disk (here a file size limit of the child process) loses no line: the debugger output
// takes what the file cannot, with one notice for the run of failures.
TEST_F(OutputTest, LinesTheFileCannotTakeGoToTheDebuggerOutput)
{
    StartLogging("MESSAGE");
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
    CLogControlTestPeer::SetLogFileOpen(1);
    const auto logTwo = [&](const kvtest::LiftLimit&)
    {
        m_first->Log(LOG_INFORMATION, "first lost");
        m_first->Log(LOG_INFORMATION, "second lost");
        return kvtest::CountOf(Output(), " lost\n") == 2 &&
               kvtest::CountOf(Output(), "takes no lines") == 1;
    };
    EXPECT_TRUE(kvtest::RunWithFileSizeLimit(1, logTwo));
}
#endif
