// Settings files that cannot be used leave the program logging with defined settings.
#include "SettingsTestSupport.h"

#include "CFile.h"

namespace
{
using SettingsFaultTest = WatchedSettingsTest;

// A file that cannot be read leaves the program logging into its default log file, on the
// construction settings, and is named with the reader's error once per change. (An empty file is
// refused the same way by the settings reader.)
TEST_F(SettingsFaultTest, MalformedDeletedLockedOrAbsurdFilesLeaveDefinedSettings)
{
    const char* const content = "<Korvel><config Level=\"1\" ></Korvel";
    kvtest::WriteWholeFile(SettingsFile(), content);
    StartApplication();
    EXPECT_EQ(1, Reports());
    EXPECT_EQ(
        1, kvtest::CountOf(Output(), "Settings file \"" + SettingsFile().str() +
                                         "\" not read: Irregular xml header or missing end tag.\n"))
        << Output();
    EXPECT_EQ(0xFFFFFFFFUL, m_motion->GetLevel()); // not synced: its initial mask
    EXPECT_EQ(15UL, Loaded().masterLevel);
    m_motion->Log(LOG_ERROR, "still logging");
    CLogControlTestPeer::Controller().CloseLogFile();
    EXPECT_TRUE(Holds(LogFile(), "still logging"));
    EXPECT_EQ(content, kvtest::ReadWholeFile(SettingsFile()));

    // A deleted file comes back with the settings in force, and its successor is watched. A file
    // another program holds for seconds makes each use give up after its wait and keep what it has;
    // the level stored meanwhile is kept for the next save.
    {
        CSingleLock lock(&CLogControlTestPeer::Lock(), true);
        CLogControlTestPeer::SetMasterLevel(7);
    }
    // No reload is under way: one finishing now would take the missing file as its baseline.
    kvtest::TempDir::RemoveFile(SettingsFile());
    ASSERT_TRUE(kvtest::WaitUntil([this] { return Holds(SettingsFile(), "</Motion>"); }));
    EXPECT_TRUE(Holds(SettingsFile(), "Level=\"7\""));
    // An edit that lands while a reload is finishing is not reported: it is made again.
    bool applied = false;
    for (int attempt = 0; attempt < 4 && !applied; ++attempt)
        applied = kvtest::EditSettingsFile(SettingsFile(), "config", {{"Level", "3"}}) &&
                  kvtest::WaitUntil([] { return Loaded().masterLevel == 3; }, 2000);
    ASSERT_TRUE(applied);

    CLogControlTestPeer::SuspendObserving();
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config", {{"Level", "0xFF"}}));
    const std::string stamp = kvtest::FileStamp(SettingsFile());
    {
        CFile other;
        ASSERT_TRUE(other.Open(SettingsFile(), CFile::modeRead | CFile::shareExclusive));
        CLogControlTestPeer::Controller().LoadSettings();
        EXPECT_EQ(3UL, Loaded().masterLevel);
        m_motion->LogSetMasterLevel(1);
    }
    EXPECT_EQ(stamp, kvtest::FileStamp(SettingsFile()));
    CLogControlTestPeer::Controller().LoadSettings();
    EXPECT_EQ(1UL, Loaded().masterLevel);

    // Absurd values give defined results: a size limit of 0 starts the file afresh before every
    // line.
    const std::string hugeFormat(100 * 1024, 'x');
    kvtest::WriteWholeFile(SettingsFile(), "<Korvel><config/></Korvel>");
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config",
                                         {{"Format", (hugeFormat + " MESSAGE").c_str()},
                                          {"MaxLogFileSize", "0"},
                                          {"Filename", "absurd.htm"}}));
    CLogControlTestPeer::Controller().LoadSettings();
    m_motion->Log(LOG_ERROR, "first");
    m_motion->Log(LOG_ERROR, "last");
    const std::string log = kvtest::ReadWholeFile(LogFile("absurd.htm"));
    EXPECT_EQ(std::string::npos, log.find("first"));
    EXPECT_NE(std::string::npos, log.find(hugeFormat + " last"));
}
} // namespace
