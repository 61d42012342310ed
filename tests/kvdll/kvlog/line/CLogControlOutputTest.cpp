#include "KvlogTestFixture.h"

#include "OsProcess.h"
#include "OsTime.h"

#include <cstdio>

namespace
{
using OutputTest = KvlogTest;

// Component lines pass the master level by the AND of the masks; lines without a component
// compare the level as a number.
TEST_F(OutputTest, MasterLevelFiltersByMaskOrByNumber)
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
    const std::vector<std::string> expected = {
        "Main|3|Information|shown", "Main|17|Multi|several bits", "NotSet|2||two", "NotSet|1||"};
    EXPECT_EQ(expected, Lines());
}

TEST_F(OutputTest, FieldsShowTheCallersSelectorAndTheProcess)
{
    StartLogging("COMPONENT|FILE|LINE|FUNCTION|LEVELSTRING|THREAD|THREADX|TIME|DATETIME");
    m_first->Log("motor.cpp", 42, "Move", 8, "Success", "x");
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(1U, lines.size());
    const unsigned long thread = os::GetCurrentThreadId();
    char threadText[64];
    std::snprintf(threadText, sizeof(threadText), "%lu|0x%lX|", thread, thread);
    const std::string expectedStart = std::string("Main|motor.cpp|42|Move|Success|") + threadText;
    EXPECT_EQ(expectedStart, lines[0].substr(0, expectedStart.size()));
    const std::string times = lines[0].substr(expectedStart.size());
    ASSERT_EQ(12U + 1U + 23U, times.size()) << times;
    // The date reads year, month, day (a line logged across midnight is not checked).
    SYSTEMTIME now{};
    os::GetLocalTime(&now);
    char date[32];
    std::snprintf(date, sizeof(date), "%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    if (now.wHour != 0 || now.wMinute != 0)
    {
        EXPECT_EQ(date, times.substr(13, 10));
    }
}
#ifndef _WIN32
// A full disk (here a file size limit of the child process) loses no line: the debugger output
// takes what the file cannot, with one notice for the run of failures.
TEST_F(OutputTest, LinesTheFileCannotTakeGoToTheDebuggerOutput)
{
    StartLogging("MESSAGE");
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputFile);
    CLogControlTestPeer::SetLogFileOpen(1);
    m_capture.Clear();
    EXPECT_TRUE(
        kvtest::RunWithFileSizeLimit(1,
                                     [&](const kvtest::LiftLimit&)
                                     {
                                         m_first->Log(LOG_INFORMATION, "first lost");
                                         m_first->Log(LOG_INFORMATION, "second lost");
                                         const std::string text = Output();
                                         return text.find("first lost\n") != std::string::npos &&
                                                text.find("second lost\n") != std::string::npos &&
                                                kvtest::CountOf(text, "takes no lines") == 1;
                                     }));
    CLogControlTestPeer::SetLogFileOpen(0);
}
#endif
} // namespace
