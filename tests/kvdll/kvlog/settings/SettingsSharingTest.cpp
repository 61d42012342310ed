// Two programs on one settings file: each follows what the other writes.
#include "SettingsTestSupport.h"

#include "OsProcess.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace
{
using SettingsSharingTest = WatchedSettingsTest;

// The other program reads our values, and we follow its level. Registrations write the file and
// must not swallow its edit that lands meanwhile. Then two peers read, change and write the file
// under one hold each, so that neither undoes the other.
TEST_F(SettingsSharingTest, EachProgramFollowsTheOtherAndNoneLosesAValue)
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
