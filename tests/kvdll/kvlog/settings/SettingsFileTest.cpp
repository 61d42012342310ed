// Settings files that cannot be used leave the program logging with defined settings, and two
// programs on one settings file each follow what the other writes.
#include "SettingsTestSupport.h"

#include "CFile.h"
#include "OsProcess.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace
{
using SettingsFileTest = WatchedSettingsTest;

// A file that cannot be read leaves the program logging into its default log file, on the
// construction settings, and is named with the reader's error once per change. (An empty file is
// refused the same way by the settings reader.)
TEST_F(SettingsFileTest, MalformedDeletedLockedOrAbsurdFilesLeaveDefinedSettings)
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

// The other program reads our values, and we follow its level. Registrations write the file and
// must not swallow its edit that lands meanwhile. Then two peers read, change and write the file
// under one hold each, so that neither undoes the other.
TEST_F(SettingsFileTest, EachProgramFollowsTheOtherAndNoneLosesAValue)
{
    StartApplication();
    m_motion->LogSetSetting("Speed", 42UL);
    const CString peer = kvtest::SiblingProgram("kvlog_settings_peer");
    ASSERT_FALSE(peer.IsEmpty());
    // Blanks become "_" in the file name, so "Motor_Test" shares the file of "Motor Test".
    const auto runPeer = [&](std::vector<CString> arguments)
    {
        arguments.insert(arguments.begin(), {GetSuiteRootDir(), "Motor_Test"});
        CString output;
        int exitCode = -1;
        const bool ran = os::RunProgramCaptureOutput(peer, output, arguments, &exitCode);
        return ran && exitCode == 0 ? output : CString("failed");
    };
    std::atomic<bool> stop{false};
    const auto churn = [&](const char* name)
    {
        while (!stop)
        {
            CLogComponent* slot = nullptr;
            CLogComponent component(name, &slot);
            for (int i = 0; i < 50; ++i)
                component.Log(__FILE__, __LINE__, "churn", 0x1, "Error", "line %d", i);
        }
    };
    std::thread first(churn, "ChurnA"), second(churn, "ChurnB");
    int applied = 0;
    for (unsigned long level = 1; level <= 10; ++level)
    {
        const CString output = runPeer({std::to_string(level).c_str()});
        EXPECT_NE(-1, output.Find("Speed=42 Level=")) << output.GetString();
        // Under Wine the watch's reload may queue behind several registrations for the file.
        applied += kvtest::WaitUntil([&] { return Loaded().masterLevel == level; }, 10000);
    }
    stop = true;
    first.join();
    second.join();
    EXPECT_EQ(10, applied);
    // The peer's component joined the file; ours stays.
    EXPECT_TRUE(Holds(SettingsFile(), "<Peer\r\n"));
    EXPECT_TRUE(Holds(SettingsFile(), "<Motion\r\n"));

    // Six peers start storing at the same moment, a second from now.
    const char* const prefixes[] = {"a", "b", "c", "d", "e", "f"};
    const int kValues = 100;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const std::string start =
        std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now).count() + 1000);
    std::atomic<int> failed{0};
    std::vector<std::thread> peers;
    for (const char* prefix : prefixes)
        peers.emplace_back(
            [&, prefix] {
                failed +=
                    runPeer({prefix, std::to_string(kValues).c_str(), start.c_str()}) == "failed";
            });
    for (std::thread& storing : peers)
        storing.join();
    EXPECT_EQ(0, failed);
    // This program's watch reloads the peers' last save, and the read waits for that hold: on
    // Windows a read in that moment found no file text at all.
    const std::string file = kvtest::ReadWholeFile(SettingsFile());
    int missing = 0;
    for (int i = 0; i < kValues; ++i)
        for (const char* prefix : prefixes)
            missing += file.find("\t" + (prefix + std::to_string(i)) + "=\"" + std::to_string(i) +
                                 "\"") == std::string::npos;
    EXPECT_EQ(0, missing);
}
} // namespace
