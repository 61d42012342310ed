// Whole processes that use the logging module: their end, static destructors, unloading a
// plugin that holds a component, and forking. Each scenario runs in a program of its own with a
// deadline, so a hang fails at once.
#include "ProcessRunner.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace
{
const char kFooter[] = "\t\t</pre>\r\n\t</body>\r\n</html>\r\n";
const char kLogStart[] = "<pre class=\"log\">\r\n";
const int kDeadlineMilliseconds = 20000;

class LifecycleTest : public ::testing::Test
{
protected:
    LifecycleTest()
    {
        m_root.MakeFile("ctrl\\RVT.exe");
        m_root.MakeDir("log");
        m_root.MakeDir("work");
    }

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

    kvtest::TempDir m_root;
    kvtest::ScopedEnvironment m_rootVariable{"KORVEL_ROOT_DIR", m_root.Path()};
    // The scenarios leave objects behind on purpose (a leaked component, a closed controller).
    kvtest::ScopedEnvironment m_leaks{"ASAN_OPTIONS", "detect_leaks=0"};
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

TEST_F(LifecycleTest, ProcessEndsNormallyWhileThreadsLogAndTheLogEndsWithItsFooter)
{
    for (int run = 0; run < 200; ++run)
    {
        const kvtest::ProcessOutcome outcome = Run({"exit"});
        ASSERT_TRUE(outcome.ended && outcome.normal && outcome.exitCode == 0)
            << "run " << run << ": ended " << outcome.ended << ", code " << outcome.exitCode;
        ASSERT_TRUE(LinesAreWhole(LogFile("Exit_Test"))) << "run " << run;
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
// process; at a Windows process end it waits for nothing.
TEST_F(LifecycleTest, LeakedComponentWithItsWatchThreadDoesNotHoldTheProcess)
{
    const kvtest::ProcessOutcome outcome = Run({"leak"});
    EXPECT_TRUE(outcome.ended && outcome.normal && outcome.exitCode == 0) << outcome.exitCode;
    EXPECT_TRUE(LinesAreWhole(LogFile("Leak_Test")));
}

TEST_F(LifecycleTest, PluginWithAStaticComponentUnloadsPromptlyAndLeavesNoThread)
{
    const kvtest::ProcessOutcome outcome =
        Run({kvtest::PluginBesideThis("kvlog_lifecycle_plugin")}, "kvlog_lifecycle_loader");
    EXPECT_TRUE(outcome.ended && outcome.normal && outcome.exitCode == 0) << outcome.exitCode;
    EXPECT_TRUE(LinesAreWhole(LogFile("Plugin_Test")));
}

#ifndef _WIN32
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
