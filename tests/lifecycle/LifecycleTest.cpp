// Whole processes that use the logging module: their end, static destructors, unloading a
// plugin that holds a component, and forking. Each scenario runs in a program of its own with a
// deadline, so a hang fails at once.
#include "OsProcess.h"
#include "ProcessRunner.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const char kFooter[] = "\t\t</pre>\r\n\t</body>\r\n</html>\r\n";
const char kLogStart[] = "<pre class=\"log\">\r\n";
const int kDeadlineMilliseconds = 20000;

std::string WithOption(const char* variable, const char* option)
{
    const char* value = std::getenv(variable);
    return value != nullptr ? std::string(value) + " " + option : std::string(option);
}

class LifecycleTest : public ::testing::Test
{
protected:
    kvtest::ProcessOutcome Run(const std::vector<std::string>& arguments,
                               const char* program = "kvlog_lifecycle_program")
    {
        return kvtest::RunProcess(kvtest::ProgramBesideThis(program), arguments,
                                  m_root.Sub("work").str(), kDeadlineMilliseconds);
    }
    std::string LogFile(const char* application)
    {
        return kvtest::ReadWholeFile(
            m_root.Sub(("log\\log_" + std::string(application) + ".htm").c_str()));
    }

    kvtest::TempSuite m_root;
    // The scenarios leave objects behind on purpose (a leaked component, a closed controller).
    kvtest::ScopedEnvironment m_leaks{"ASAN_OPTIONS", "detect_leaks=0"};
    // The thread sanitizer otherwise sleeps a second at every end of a process.
    kvtest::ScopedEnvironment m_exitSleep{"TSAN_OPTIONS",
                                          WithOption("TSAN_OPTIONS", "atexit_sleep_ms=0").c_str()};
};

// Every line between the header and the footer is one whole entry.
::testing::AssertionResult LinesAreWhole(const std::string& log)
{
    const std::size_t start = log.find(kLogStart);
    const std::size_t footer = log.rfind(kFooter);
    if (start == std::string::npos || footer == std::string::npos ||
        footer + sizeof kFooter - 1 != log.size())
        return ::testing::AssertionFailure() << "no header or footer:\n" << log.substr(0, 200);
    const std::string body = log.substr(start + sizeof kLogStart - 1, footer - start);
    for (std::size_t at = 0, end; at < footer - start - sizeof kLogStart + 1; at = end + 2)
    {
        end = body.find("\r\n", at);
        if (end == std::string::npos)
            break;
        const std::string line = body.substr(at, end - at);
        if (line.rfind("<span class=\"logLine\"", 0) != 0 || line.size() < 7 ||
            line.compare(line.size() - 7, 7, "</span>") != 0)
            return ::testing::AssertionFailure() << "torn line: " << line;
    }
    return ::testing::AssertionSuccess();
}

// 200 runs, four at a time (each with a log file of its own), so that the slow start of a
// process under Wine does not make the test long.
TEST_F(LifecycleTest, ProcessEndsNormallyWhileThreadsLogAndTheLogEndsWithItsFooter)
{
    const int kRuns = 200;
    const int kAtOnce = 4;
    for (int batch = 0; batch < kRuns / kAtOnce; ++batch)
    {
        std::vector<std::unique_ptr<kvtest::ProcessRun>> runs;
        for (int i = 0; i < kAtOnce; ++i)
            runs.push_back(std::make_unique<kvtest::ProcessRun>(
                kvtest::ProgramBesideThis("kvlog_lifecycle_program"),
                std::vector<std::string>{"exit", "Exit Test " + std::to_string(i)},
                m_root.Sub("work").str()));
        for (int i = 0; i < kAtOnce; ++i)
        {
            const kvtest::ProcessOutcome outcome = runs[i]->Wait(kDeadlineMilliseconds);
            ASSERT_TRUE(outcome.ended && outcome.normal && outcome.exitCode == 0)
                << "batch " << batch << ": ended " << outcome.ended << ", code "
                << outcome.exitCode;
            ASSERT_TRUE(LinesAreWhole(LogFile(("Exit_Test_" + std::to_string(i)).c_str())))
                << "batch " << batch;
        }
    }
}

TEST_F(LifecycleTest, StaticDestructorStoresASettingAndWritesNothingElse)
{
    const kvtest::ProcessOutcome outcome = Run({"setting"});
    ASSERT_TRUE(outcome.ended && outcome.exitCode == 0) << outcome.exitCode;
    const std::string settings = kvtest::ReadWholeFile(m_root.Sub("log\\xdb_Static_Setting.xdb"));
    EXPECT_NE(std::string::npos, settings.find("LastRun")) << settings;
    EXPECT_NE(std::string::npos, settings.find("42")) << settings;
    EXPECT_TRUE(std::filesystem::is_empty(m_root.Sub("work").str()));
}

// The watch thread's stop waits a bounded time, so a component never deleted cannot hold the
// process (at a Windows process end it waits for nothing); a plugin holding a static component
// unloads promptly and leaves no thread.
TEST_F(LifecycleTest, LeakedComponentOrUnloadedPluginDoesNotHoldTheProcess)
{
    const kvtest::ProcessOutcome leak = Run({"leak"});
    EXPECT_TRUE(leak.ended && leak.normal && leak.exitCode == 0) << leak.exitCode;
    EXPECT_TRUE(LinesAreWhole(LogFile("Leak_Test")));
    const kvtest::ProcessOutcome plugin =
        Run({kvtest::PluginBesideThis("kvlog_lifecycle_plugin")}, "kvlog_lifecycle_loader");
    EXPECT_TRUE(plugin.ended && plugin.normal && plugin.exitCode == 0) << plugin.exitCode;
    EXPECT_TRUE(LinesAreWhole(LogFile("Plugin_Test")));
}

// Every line each soak thread logged is in the file exactly once.
::testing::AssertionResult EveryLineOnce(const std::string& log, const std::string& counts)
{
    std::vector<std::vector<int>> seen;
    std::istringstream countLines(counts);
    for (unsigned long count; countLines >> count;)
        seen.emplace_back(count, 0);
    if (seen.size() != 8)
        return ::testing::AssertionFailure() << "counts: " << counts;
    for (std::size_t at = log.find("soak t="); at != std::string::npos;
         at = log.find("soak t=", at + 1))
    {
        // Not sscanf: it measures the whole rest of the text at every call.
        char* end = nullptr;
        const unsigned long thread = std::strtoul(log.c_str() + at + 7, &end, 10);
        const unsigned long line = std::strtoul(end + 3, nullptr, 10);
        if (std::strncmp(end, " n=", 3) != 0 || thread >= seen.size() ||
            line >= seen[thread].size())
            return ::testing::AssertionFailure() << "stray line at " << at;
        ++seen[thread][line];
    }
    for (std::size_t thread = 0; thread < seen.size(); ++thread)
        for (std::size_t line = 0; line < seen[thread].size(); ++line)
            if (seen[thread][line] != 1)
                return ::testing::AssertionFailure() << "thread " << thread << " line " << line
                                                     << " found " << seen[thread][line] << " times";
    return ::testing::AssertionSuccess();
}

// Eight threads log while their components come and go, and a second program rewrites, empties,
// deletes and garbles the settings file every 100 ms and holds it locked for 2 s at a time.
TEST_F(LifecycleTest, SoakWithTheSettingsFileUnderAttackLosesAndTearsNoLine)
{
    const int kSoakMilliseconds = 20000;
    kvtest::ProcessRun abuse(
        kvtest::ProgramBesideThis("kvlog_lifecycle_program"),
        {"abuse", m_root.Sub("log\\xdb_Soak_Test.xdb").str(), std::to_string(kSoakMilliseconds)},
        m_root.Sub("work").str());
    const kvtest::ProcessOutcome soak =
        kvtest::RunProcess(kvtest::ProgramBesideThis("kvlog_lifecycle_program"),
                           {"soak", std::to_string(kSoakMilliseconds)}, m_root.Sub("work").str(),
                           kSoakMilliseconds + kDeadlineMilliseconds);
    ASSERT_TRUE(soak.ended && soak.normal && soak.exitCode == 0) << soak.exitCode;
    EXPECT_EQ(0, abuse.Wait(kSoakMilliseconds + kDeadlineMilliseconds).exitCode);
    const std::string log = LogFile("Soak_Test");
    EXPECT_TRUE(LinesAreWhole(log));
    EXPECT_TRUE(EveryLineOnce(log, kvtest::ReadWholeFile(m_root.Sub("work\\soak-counts.txt"))));
}

#ifdef _WIN32
// Reading the utilities program's output ends when the output closes, not when the program does.
TEST_F(LifecycleTest, ProgramOutputIsReadUntilItClosesNotUntilTheProgramEnds)
{
    const auto begun = std::chrono::steady_clock::now();
    CString output;
    ASSERT_TRUE(os::RunProgramCaptureOutput(
        kvtest::ProgramBesideThis("kvlog_lifecycle_program").c_str(), output, {"linger"}));
    EXPECT_NE(-1, output.Find("lingering"));
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(5));
}
#else
TEST_F(LifecycleTest, ChildrenOfAForkWhileAThreadLogsLogAndEnd)
{
    const kvtest::ProcessOutcome outcome = Run({"fork"});
    ASSERT_TRUE(outcome.ended && outcome.normal && outcome.exitCode == 0) << outcome.exitCode;
    const std::string log = LogFile("Fork_Test");
    for (int child = 0; child < 40; ++child)
        EXPECT_NE(std::string::npos, log.find("child " + std::to_string(child) + " logs")) << child;
    EXPECT_TRUE(LinesAreWhole(log));
}
#endif
} // namespace
