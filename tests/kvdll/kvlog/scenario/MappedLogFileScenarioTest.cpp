// "FileMapping" 1 in the settings file maps the log file at its opening; without the key the
// file is written as usual, and a new settings file does not gain the key.
#include "SettingsTestSupport.h"

namespace
{
using MappedLogFileScenarioTest = WatchedSettingsTest;

TEST_F(MappedLogFileScenarioTest, TheKeyMapsTheFileAndIsNeverWrittenByDefault)
{
    // The log file's text while open; the application ends after it.
    const auto runOnce = [this]
    {
        StartApplication();
        m_motion->Log(LOG_INFORMATION, "line %d", 1);
        const std::string open = kvtest::ReadWholeFile(LogFile());
        m_motion.reset();
        CLogControl::DestroyInstance();
        return open;
    };
    EXPECT_EQ(std::string::npos, runOnce().find('\0'));
    EXPECT_EQ(std::string::npos, kvtest::ReadWholeFile(SettingsFile()).find("FileMapping"));

    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config", {{"FileMapping", "1"}}));
    EXPECT_EQ(1024U * 1024U, runOnce().size());
    const std::string closed = kvtest::ReadWholeFile(LogFile());
    EXPECT_EQ(std::string::npos, closed.find('\0'));
    EXPECT_NE(std::string::npos, closed.find("line 1</span>\r\n\t\t</pre>"));
}
} // namespace
