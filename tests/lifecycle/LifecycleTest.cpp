// Whole processes that use the logging module: their end, static destructors, unloading a
// plugin that holds a component, a soak, and a writer of a mapped log file killed at random
// moments. Each scenario runs in a program of its own with a deadline, so a hang fails at once.
#include "ScenarioTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
using LifecycleTest = kvtest::ScenarioTest;

// 200 runs, four at a time (each with a log file of its own), so that the slow start of a
// process under Wine does not make the test long.
TEST_F(LifecycleTest, ProcessEndsNormallyWhileThreadsLogAndTheLogEndsWithItsFooter)
{
    for (int batch = 0; batch < 50; ++batch)
    {
        SCOPED_TRACE("batch " + std::to_string(batch));
        std::vector<os::ChildProcess> runs;
        for (int i = 0; i < 4; ++i)
            runs.push_back(Start({"exit", "Exit Test " + std::to_string(i)}));
        for (int i = 0; i < 4; ++i)
        {
            ASSERT_TRUE(kvtest::EndedWell(Wait(runs[i])));
            const std::string log = "log\\log_Exit_Test_" + std::to_string(i) + ".htm";
            ASSERT_TRUE(kvtest::LinesAreWhole(Read(log.c_str())));
        }
    }
}

TEST_F(LifecycleTest, StaticDestructorStoresASettingAndWritesNothingElse)
{
    ASSERT_TRUE(kvtest::EndedWell(Run({"setting"})));
    const std::string settings = Read("log\\xdb_Static_Setting.xdb");
    EXPECT_NE(std::string::npos, settings.find("LastRun=\"42\"")) << settings;
    EXPECT_TRUE(std::filesystem::is_empty(Work()));
}

// The watch thread's stop waits a bounded time, so a component never deleted cannot hold the
// process (at a Windows process end it waits for nothing); a plugin holding a static component
// unloads promptly and leaves no thread.
TEST_F(LifecycleTest, LeakedComponentOrUnloadedPluginDoesNotHoldTheProcess)
{
    EXPECT_TRUE(kvtest::EndedWell(Run({"leak"})));
    EXPECT_TRUE(kvtest::LinesAreWhole(Read("log\\log_Leak_Test.htm")));
    const CString plugin = kvtest::SiblingProgram("kvlog_lifecycle_plugin");
    const bool windows = plugin.Right(4).CompareNoCase(".exe") == 0;
    EXPECT_TRUE(kvtest::EndedWell(
        Wait(Start({windows ? plugin.Left(plugin.GetLength() - 4) + ".dll" : plugin + ".so"},
                   "kvlog_lifecycle_loader"))));
    EXPECT_TRUE(kvtest::LinesAreWhole(Read("log\\log_Plugin_Test.htm")));
}

// Eight threads log while their components come and go, and a second program rewrites, empties,
// deletes and garbles the settings file every 100 ms and holds it locked for 2 s at a time.
TEST_F(LifecycleTest, SoakWithTheSettingsFileUnderAttackLosesAndTearsNoLine)
{
    const int kSoakMilliseconds = 20000;
    const auto abuse =
        Start({"abuse", m_root.Sub("log\\xdb_Soak_Test.xdb"), std::to_string(kSoakMilliseconds)});
    ASSERT_TRUE(kvtest::EndedWell(Run({"soak", std::to_string(kSoakMilliseconds)},
                                      kSoakMilliseconds + kDeadlineMilliseconds)));
    EXPECT_TRUE(kvtest::EndedWell(Wait(abuse, kSoakMilliseconds + kDeadlineMilliseconds)));
    const std::string log = Read("log\\log_Soak_Test.htm");
    EXPECT_TRUE(kvtest::LinesAreWhole(log));
    // A lost or a repeated line changes the count.
    int logged = 0;
    std::istringstream counts(Read("work\\soak-counts.txt"));
    for (int count = 0; counts >> count;)
        logged += count;
    EXPECT_NE(0, logged);
    EXPECT_EQ(logged, kvtest::CountOf(log, "soak t="));
}

// Whole entries "mapped line N" numbered from 1 without a gap up to at least the last accepted
// line; after them at most the start of one more entry, which the kill cut short, and then only
// zeros.
::testing::AssertionResult HoldsEveryAcceptedLine(const std::string& log, std::uint64_t accepted)
{
    const std::string mark = "mapped line ";
    std::uint64_t next = 1;
    std::size_t end = 0;
    for (std::size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, end))
    {
        const std::size_t lineEnd = log.find("\r\n", at);
        if (lineEnd == std::string::npos)
            break;
        const std::uint64_t number = std::stoull(log.substr(at + mark.size(), 20));
        if (number != next)
            return ::testing::AssertionFailure() << "line " << number << " where " << next;
        ++next;
        end = lineEnd + 2;
    }
    if (next <= accepted)
        return ::testing::AssertionFailure() << "lines up to " << next - 1 << " of " << accepted;
    const std::size_t zeros = std::min(log.find('\0', end), log.size());
    if (log.find('\n', end) < zeros)
        return ::testing::AssertionFailure() << "a line after the last: " << log.substr(end, 200);
    if (log.find_first_not_of('\0', zeros) != std::string::npos)
        return ::testing::AssertionFailure() << "bytes after the zeros";
    return ::testing::AssertionSuccess();
}

// The lines of a mapped file are in the system's page cache as soon as they are copied, so a
// killed writer loses none it accepted. The next opening leaves no zeros.
TEST_F(LifecycleTest, AKilledWriterOfAMappedFileLosesNoAcceptedLineAndTheNextOpeningNoZeros)
{
    Configure("log\\xdb_Levels.xdb", {{"FileMapping", "1"}, {"DisplayLoggingInformation", "0"}});
    // The number of the last line the writer accepted; 0 before its first.
    const auto accepted = [&]
    {
        std::uint64_t line = 0;
        Read("work\\report.bin").copy(reinterpret_cast<char*>(&line), sizeof line);
        return line;
    };
    std::mt19937 random(std::random_device{}());
    for (int kill = 0; kill < 5; ++kill)
    {
        SCOPED_TRACE("kill " + std::to_string(kill));
        kvtest::WriteWholeFile(m_root.Sub("work\\report.bin"), std::string(8, '\0'));
        const auto run = Start({"write", "report.bin"});
        ASSERT_TRUE(kvtest::WaitUntil([&] { return accepted() != 0; }, 15000)) << "no line logged";
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + random() % 145));
        ASSERT_FALSE(Wait(run, 0).ended) << "ended by itself";
        const std::uint64_t lines = accepted();
        const std::string log = Read("log\\log_Levels.htm");
        // A mapped file grows by 1 MiB at a time.
        ASSERT_EQ(0u, log.size() % (1024 * 1024)) << "the file was not mapped";
        ASSERT_TRUE(HoldsEveryAcceptedLine(log, lines));
    }
    ASSERT_TRUE(kvtest::EndedWell(Run({"levels"})));
    const std::string log = Read("log\\log_Levels.htm");
    EXPECT_EQ(std::string::npos, log.find('\0'));
    EXPECT_EQ(std::string::npos, log.find("mapped line "));
    EXPECT_NE(std::string::npos, log.find("green</span>\r\n\t\t</pre>"));
}

} // namespace
