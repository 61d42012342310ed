// "FileMapping" 1 in the settings file maps the log file at its opening; without the key the
// file is written as usual, and a new settings file does not gain the key.
#include "SettingsTestSupport.h"

namespace
{
const std::size_t kChunk = 1024 * 1024;

class MappedLogFileScenarioTest : public KvlogTest
{
protected:
    void StartApplication()
    {
        m_motion = std::make_unique<CLogComponent>("Motion", &m_motionSlot);
        m_motion->SetApplicationName("Mapped App", 1);
        static_cast<CLogComponentInterface&>(*m_motion).hlpSetStopOnAssert(0);
        m_motion->Log(LOG_INFORMATION, "line %d", 1);
    }
    std::string LogText() const
    {
        return kvtest::ReadWholeFile(m_suite->LogFile("log_Mapped_App.htm"));
    }
    std::string SettingsText() const
    {
        return kvtest::ReadWholeFile(m_suite->LogFile("xdb_Mapped_App.xdb"));
    }

    CLogComponent* m_motionSlot = nullptr;
    std::unique_ptr<CLogComponent> m_motion;
};
} // namespace

TEST_F(MappedLogFileScenarioTest, TheKeyMapsTheFileAndIsNeverWrittenByDefault)
{
    StartApplication();
    EXPECT_EQ(std::string::npos, LogText().find('\0'));
    EXPECT_EQ(std::string::npos, SettingsText().find("FileMapping"));
    m_motion.reset();
    CLogControl::DestroyInstance();

    ASSERT_TRUE(kvtest::EditSettingsFile(m_suite->LogFile("xdb_Mapped_App.xdb"), "config",
                                         {{"FileMapping", "1"}}));
    StartApplication();
    EXPECT_EQ(kChunk, LogText().size());
    m_motion.reset();
    CLogControl::DestroyInstance();
    const std::string closed = LogText();
    EXPECT_EQ(std::string::npos, closed.find('\0'));
    EXPECT_NE(std::string::npos, closed.find("line 1</span>\r\n\t\t</pre>"));
}
