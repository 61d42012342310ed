// "FileBackups" in the settings file keeps that many earlier log files, each start renaming the
// last one; without the key the file is emptied, and a new settings file does not gain the key.
#include "PathOperations.h"
#include "SettingsTestSupport.h"

namespace
{
using KeptLogFilesScenarioTest = WatchedSettingsTest;

TEST_F(KeptLogFilesScenarioTest, TheKeyKeepsEarlierFilesAndIsNeverWrittenByDefault)
{
    const auto runOnce = [this](const char* text)
    {
        StartApplication();
        m_motion->Log(LOG_INFORMATION, "%s", text);
        m_motion.reset();
        CLogControl::DestroyInstance();
    };
    runOnce("emptied");
    runOnce("first");
    EXPECT_EQ(std::string::npos, kvtest::ReadWholeFile(SettingsFile()).find("FileBackups"));
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config", {{"FileBackups", "2"}}));
    runOnce("second");
    runOnce("third");
    const char* const files[] = {"log_Motor_Test.htm", "log_Motor_Test.1.htm",
                                 "log_Motor_Test.2.htm"};
    const char* const lines[] = {"third", "second", "first"};
    for (int at = 0; at < 3; ++at)
        EXPECT_NE(std::string::npos, kvtest::ReadWholeFile(LogFile(files[at])).find(lines[at]))
            << files[at];
    EXPECT_EQ(std::string::npos, kvtest::ReadWholeFile(LogFile(files[2])).find("emptied"));
    EXPECT_FALSE(FileExists(LogFile("log_Motor_Test.3.htm")));
}
} // namespace
