// Two programs on one settings file: each follows what the other writes.
#include "SettingsTestSupport.h"

#include "OsProcess.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace
{
using SettingsSharingTest = WatchedSettingsTest;

CString PeerProgram()
{
    return kvtest::SiblingProgram("kvlog_settings_peer");
}

// The other program reads our values, and we follow its level. Registrations write the file and
// must not swallow its edit that lands meanwhile.
TEST_F(SettingsSharingTest, EachProgramFollowsTheOtherWhileComponentsComeAndGo)
{
    StartApplication();
    m_motion->LogSetSetting("Speed", 42UL);
    const CString peer = PeerProgram();
    ASSERT_FALSE(peer.IsEmpty());
    const CString suiteRoot = GetSuiteRootDir();
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
        CString output;
        // Blanks become "_" in the file name, so "Motor_Test" shares the file of "Motor Test".
        os::RunProgramCaptureOutput(peer, output,
                                    {suiteRoot, "Motor_Test", std::to_string(level).c_str()});
        EXPECT_NE(-1, output.Find("Speed=42 Level=")) << output.GetString();
        // Under Wine the watch's reload may queue behind several registrations for the file.
        if (kvtest::WaitUntil([&] { return Loaded().masterLevel == level; }, 10000))
            ++applied;
    }
    stop = true;
    first.join();
    second.join();
    EXPECT_EQ(10, applied);
    EXPECT_EQ(10UL, m_motion->GetLevel());
    // The peer's component joined the file; ours stays.
    const std::string file = kvtest::ReadWholeFile(SettingsFile());
    EXPECT_NE(std::string::npos, file.find("<Peer\r\n"));
    EXPECT_NE(std::string::npos, file.find("<Motion\r\n"));
}

// Each program reads, changes and writes the file under one hold, so neither undoes the other.
TEST_F(SettingsSharingTest, TwoProgramsStoringAtOnceLoseNoValue)
{
    StartApplication();
    const CString peer = PeerProgram();
    const CString suiteRoot = GetSuiteRootDir();
    const int kCount = 200;
    // Both start storing at the same moment, a second from now.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const std::string start =
        std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now).count() + 1000);
    std::atomic<int> finished{0};
    std::atomic<int> failed{0};
    const auto store = [&](const char* prefix)
    {
        CString output;
        int exitCode = -1;
        if (!os::RunProgramCaptureOutput(
                peer, output, {suiteRoot, "Motor_Test", prefix, "200", start.c_str()}, &exitCode) ||
            exitCode != 0)
            ++failed;
        ++finished;
    };
    std::thread first(store, "a"), second(store, "b");
    const bool inTime = kvtest::WaitUntil([&] { return finished == 2; }, 120000);
    first.join();
    second.join();
    ASSERT_TRUE(inTime);
    EXPECT_EQ(0, failed);
    // This program's watch reloads the peers' last save, and the read waits for that hold: on
    // Windows a read in that moment found no file text at all.
    const std::string file = kvtest::ReadWholeFile(SettingsFile());
    int missing = 0;
    for (int i = 0; i < kCount; ++i)
        for (const char* prefix : {"a", "b"})
            if (file.find("\t" + (prefix + std::to_string(i)) + "=\"" + std::to_string(i) + "\"") ==
                std::string::npos)
                ++missing;
    EXPECT_EQ(0, missing);
}
} // namespace
