// Settings files that cannot be used leave the program logging with defined settings.
#include "SettingsTestSupport.h"

#include "CFile.h"

#include <thread>

namespace
{
using SettingsFaultTest = WatchedSettingsTest;

// The program still logs into its default log file, on the construction settings.
void ExpectLoggingOnDefaults(CLogComponent& component, const CString& logFile)
{
    const auto loaded = CLogControlTestPeer::GetSettings();
    EXPECT_EQ(15UL, loaded.masterLevel);
    EXPECT_EQ(logFile, loaded.openLogFile);
    component.Log(LOG_ERROR, "still logging");
    CLogControlTestPeer::Controller().CloseLogFile();
    EXPECT_NE(std::string::npos, kvtest::ReadWholeFile(logFile).find("still logging"));
}

TEST_F(SettingsFaultTest, MalformedOrEmptyFileIsLeftAlone)
{
    for (const char* content : {"<Korvel><config Level=\"1\" ></Korvel", ""})
    {
        kvtest::WriteWholeFile(SettingsFile(), content);
        StartApplication();
        EXPECT_EQ(content, kvtest::ReadWholeFile(SettingsFile()));
        EXPECT_EQ(1, Reports());
        EXPECT_EQ(0xFFFFFFFFUL, m_motion->GetLevel()); // not synced: its initial mask
        ExpectLoggingOnDefaults(*m_motion, LogFile());
        EXPECT_EQ(content, kvtest::ReadWholeFile(SettingsFile()));
        CLogControl::DestroyInstance();
        m_motion.reset();
        m_capture.Clear();
    }
}

TEST_F(SettingsFaultTest, FolderInPlaceOfTheFile)
{
    m_suite->MakeLogFolder("xdb_Motor_Test.xdb");
    StartApplication();
    EXPECT_FALSE(CLogControlTestPeer::IsObserving());
    EXPECT_EQ(10UL, m_motion->LogGetSetting("Speed", 10UL));
    m_motion->LogSetMasterLevel(1);
    ExpectLoggingOnDefaults(*m_motion, LogFile());
}

TEST_F(SettingsFaultTest, FileLockedByAnotherProgramForSeconds)
{
    StartApplication();
    CLogControlTestPeer::SuspendObserving();
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config", {{"Level", "0xFF"}}));
    const std::string stamp = kvtest::FileStamp(SettingsFile());
    {
        CFile other;
        ASSERT_TRUE(other.Open(SettingsFile(), CFile::modeRead | CFile::shareExclusive));
        // Each use gives up after its retries and keeps what it has.
        CLogControlTestPeer::Controller().LoadSettings();
        EXPECT_EQ(15UL, CLogControlTestPeer::GetSettings().masterLevel);
        EXPECT_EQ(10UL, m_motion->LogGetSetting("Speed", 10UL));
        m_motion->LogSetMasterLevel(1);
    }
    EXPECT_EQ(stamp, kvtest::FileStamp(SettingsFile()));
    CLogControlTestPeer::Controller().LoadSettings();
    EXPECT_EQ(255UL, CLogControlTestPeer::GetSettings().masterLevel);
}

TEST_F(SettingsFaultTest, DeletedFileComesBackWithTheSettingsInForce)
{
    StartApplication();
    {
        CSingleLock lock(&CLogControlTestPeer::Lock(), true);
        CLogControlTestPeer::SetMasterLevel(7);
    }
    // No reload is under way: one finishing now would take the missing file as its baseline.
    kvtest::TempDir::RemoveFile(SettingsFile());
    ASSERT_TRUE(kvtest::WaitUntil(
        [this]
        { return kvtest::ReadWholeFile(SettingsFile()).find("</Motion>") != std::string::npos; }));
    const std::string file = kvtest::ReadWholeFile(SettingsFile());
    EXPECT_NE(std::string::npos, file.find("Level=\"7\""));
    // The new file is watched: an edit of it takes effect as before.
    ASSERT_TRUE(EditUntil("config", {{"Level", "3"}},
                          [] { return CLogControlTestPeer::GetSettings().masterLevel == 3; }));
}

TEST_F(SettingsFaultTest, AbsurdValuesGiveDefinedResults)
{
    const std::string hugeFormat(100 * 1024, 'x');
    kvtest::WriteWholeFile(SettingsFile(), "<Korvel><config/></Korvel>");
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config",
                                         {{"Format", (hugeFormat + " MESSAGE").c_str()},
                                          {"NumberBytesInHexDumpLine", "0"},
                                          {"MaxLogFileSize", "0"},
                                          {"Level", "-1"},
                                          {"FileLinesToFlush", "abc"}}));
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "Motion", {{"_Level", "Error"}}));
    StartApplication();
    CLogControlTestPeer::SuspendObserving();
    auto loaded = CLogControlTestPeer::GetSettings();
    EXPECT_EQ(4294967295UL, loaded.masterLevel);
    EXPECT_EQ(0UL, loaded.linesPerFlush);
    EXPECT_EQ(0UL, m_motion->GetLevel()); // "_Level" that is no number: the component is silent

    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "Motion", {{"_Level", "0xFFFFFFFF"}}));
    CLogControlTestPeer::Controller().LoadSettings();
    const unsigned char bytes[40] = {1, 2, 3};
    m_motion->Log(LOG_ERROR, "first");
    m_motion->LogDump(LOG_ERROR, bytes, sizeof bytes, "no dump rows");
    m_motion->Log(LOG_ERROR, "last");
    // A size limit of 0 starts the file afresh before every line.
    const std::string log = kvtest::ReadWholeFile(LogFile());
    EXPECT_EQ(std::string::npos, log.find("first"));
    EXPECT_NE(std::string::npos, log.find(hugeFormat + " last"));

    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config",
                                         {{"NumberBytesInHexDumpLine", "4294967295"},
                                          {"Format", "MESSAGE"},
                                          {"Level", "not a level"}}));
    CLogControlTestPeer::Controller().LoadSettings();
    loaded = CLogControlTestPeer::GetSettings();
    EXPECT_EQ(0UL, loaded.masterLevel);
    EXPECT_EQ(4294967295UL, loaded.hexDumpBytesPerLine);
    EXPECT_EQ(0UL, m_motion->GetLevel());
    ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config", {{"Level", "15"}}));
    CLogControlTestPeer::Controller().LoadSettings();
    m_motion->LogDump(LOG_ERROR, bytes, sizeof bytes, "one wide row");
    CLogControlTestPeer::Controller().CloseLogFile();
    EXPECT_NE(std::string::npos, kvtest::ReadWholeFile(LogFile()).find("one wide row"));
}
} // namespace
