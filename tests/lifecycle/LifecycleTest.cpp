// Whole processes that use the logging module: their end, static destructors, unloading a
// plugin that holds a component, and a soak. Each scenario runs in a program of its own with a
// deadline, so a hang fails at once.
#include "OsProcess.h"
#include "ScenarioTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
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
        Run({windows ? plugin.Left(plugin.GetLength() - 4) + ".dll" : plugin + ".so"},
            kDeadlineMilliseconds, "kvlog_lifecycle_loader")));
    EXPECT_TRUE(kvtest::LinesAreWhole(Read("log\\log_Plugin_Test.htm")));
}

// Every line each soak thread logged is in the file exactly once.
::testing::AssertionResult EveryLineOnce(const std::string& log, const std::string& counts)
{
    std::vector<std::vector<int>> seen;
    std::istringstream countLines(counts);
    for (unsigned long count; countLines >> count;)
        seen.emplace_back(count, 0);
    for (std::size_t at = log.find("soak t="); at != std::string::npos;
         at = log.find("soak t=", at + 1))
    {
        // Not sscanf: it measures the whole rest of the text at every call.
        char* end = nullptr;
        const unsigned long thread = std::strtoul(log.c_str() + at + 7, &end, 10);
        const unsigned long line = std::strtoul(end + 3, nullptr, 10);
        if (thread >= seen.size() || line >= seen[thread].size() || ++seen[thread][line] != 1)
            return ::testing::AssertionFailure() << "a stray or repeated line at " << at;
    }
    for (const std::vector<int>& lines : seen)
        if (std::count(lines.begin(), lines.end(), 0) != 0)
            return ::testing::AssertionFailure() << "a lost line";
    return seen.size() == 8 ? ::testing::AssertionSuccess()
                            : ::testing::AssertionFailure() << "counts: " << counts;
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
    EXPECT_TRUE(EveryLineOnce(log, Read("work\\soak-counts.txt")));
}

#ifdef _WIN32
// Reading the utilities program's output ends when the output closes, not when the program does.
TEST_F(LifecycleTest, ProgramOutputIsReadUntilItClosesNotUntilTheProgramEnds)
{
    const auto begun = std::chrono::steady_clock::now();
    CString output;
    ASSERT_TRUE(os::RunProgramCaptureOutput(kvtest::SiblingProgram("kvlog_lifecycle_program"),
                                            output, {"linger"}));
    EXPECT_NE(-1, output.Find("lingering"));
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(5));
}
#endif
} // namespace
