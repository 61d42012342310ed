// "FileBackups" in the settings file keeps that many earlier log files, each start renaming the
// last one, and "FileMapping" 1 maps the log file at its opening; without the keys the file is
// written as usual and emptied at each start, and a new settings file gains neither key.
#include "PathOperations.h"
#include "SettingsTestSupport.h"

namespace
{
using LogFileKeysScenarioTest = WatchedSettingsTest;

TEST_F(LogFileKeysScenarioTest, TheKeysKeepAndMapTheFilesAndAreNeverWrittenByDefault)
{
    // The log file's text while open; the application ends after it.
    const auto runOnce = [this](const char* text)
    {
        StartApplication();
        m_motion->Log(LOG_INFORMATION, "%s", text);
        const std::string open = kvtest::ReadWholeFile(LogFile());
        m_motion.reset();
        CLogControl::DestroyInstance();
        return open;
    };
    const auto holds = [this](const char* name, const char* part)
    { return kvtest::ReadWholeFile(LogFile(name)).find(part) != std::string::npos; };
    EXPECT_EQ(std::string::npos, runOnce("emptied").find('\0'));
    runOnce("first");
    const std::string settings = kvtest::ReadWholeFile(SettingsFile());
    EXPECT_EQ(0,
              kvtest::CountOf(settings, "FileBackups") + kvtest::CountOf(settings, "FileMapping"));
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config",
                                         {{"FileBackups", "2"}, {"FileMapping", "1"}}));
    runOnce("second");
    EXPECT_EQ(1024U * 1024U, runOnce("third").size());
    EXPECT_EQ(std::string::npos, kvtest::ReadWholeFile(LogFile()).find('\0'));
    EXPECT_TRUE(holds("log_Motor_Test.htm", "third</span>\r\n\t\t</pre>"));
    EXPECT_TRUE(holds("log_Motor_Test.1.htm", "second"));
    EXPECT_TRUE(holds("log_Motor_Test.2.htm", "first"));
    EXPECT_FALSE(holds("log_Motor_Test.2.htm", "emptied"));
    EXPECT_FALSE(FileExists(LogFile("log_Motor_Test.3.htm")));
}
} // namespace
