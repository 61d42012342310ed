// The frame of a whole-process test: a scratch suite whose work folder the scenario program runs
// in, with a deadline, and the sanitizers told what the scenarios do on purpose.
#pragma once

#include "CKVXMLConfig.h"
#include "OsChildProcess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace kvtest
{
class ScenarioTest : public ::testing::Test
{
protected:
    static const unsigned long kDeadlineMilliseconds = 20000;

    ~ScenarioTest() override
    {
        for (const os::ChildProcess child : m_running)
            os::AwaitChildProcess(child, 0);
    }

    // Starts the program in the work folder; one still running when the test ends is killed.
    os::ChildProcess Start(const std::vector<CString>& arguments,
                           const char* program = "kvlog_lifecycle_program")
    {
        os::ChildProcess child = os::kNoChildProcess;
        os::StartChildProcessIn(Work().c_str(), SiblingProgram(program), arguments, child);
        m_running.push_back(child);
        return child;
    }
    os::ChildOutcome Wait(os::ChildProcess child,
                          unsigned long milliseconds = kDeadlineMilliseconds)
    {
        m_running.erase(std::remove(m_running.begin(), m_running.end(), child), m_running.end());
        return os::AwaitChildProcess(child, milliseconds);
    }
    os::ChildOutcome Run(const std::vector<CString>& arguments,
                         unsigned long milliseconds = kDeadlineMilliseconds)
    {
        return Wait(Start(arguments), milliseconds);
    }
    // Sets keys of the "config" section of an application's settings file before it starts.
    void Configure(const char* settingsFile,
                   const std::vector<std::pair<const char*, std::string>>& values)
    {
        CKVXMLConfig settings;
        settings.Open(m_root.Sub(settingsFile));
        for (const auto& value : values)
            settings.SetString("config", value.first, value.second.c_str());
        settings.Save();
    }
    std::string Work() const { return m_root.Sub("work").str(); }
    std::string Read(const char* relative) const { return ReadWholeFile(m_root.Sub(relative)); }

    TempSuite m_root;

private:
    std::vector<os::ChildProcess> m_running;
    // The scenarios leave objects behind on purpose (a leaked component, a closed controller).
    ScopedEnvironment m_leaks{"ASAN_OPTIONS", "detect_leaks=0"};
    // Children of a fork start threads (their own syslog sender), and the thread sanitizer
    // otherwise sleeps a second at every end of a process.
    ScopedEnvironment m_tsan{
        "TSAN_OPTIONS",
        (std::string(std::getenv("TSAN_OPTIONS") != nullptr ? std::getenv("TSAN_OPTIONS") : "") +
         " die_after_fork=0 atexit_sleep_ms=0")
            .c_str()};
};

// The program ended by itself, normally, with the exit code 0.
inline ::testing::AssertionResult EndedWell(const os::ChildOutcome& outcome)
{
    if (outcome.ended && outcome.normal && outcome.exitCode == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "ended " << outcome.ended << ", normally "
                                         << outcome.normal << ", code " << outcome.exitCode;
}

// Every line between the header and the footer is one whole entry, and the footer ends the log.
inline ::testing::AssertionResult LinesAreWhole(const std::string& log)
{
    const std::string start = "<pre class=\"log\">\r\n";
    const std::string footer = "\t\t</pre>\r\n\t</body>\r\n</html>\r\n";
    const std::size_t body = log.find(start) + start.size();
    if (body < start.size() || log.size() < body + footer.size() ||
        log.compare(log.size() - footer.size(), footer.size(), footer) != 0)
        return ::testing::AssertionFailure() << "no header or footer:\n" << log.substr(0, 200);
    std::istringstream lines(log.substr(body, log.size() - footer.size() - body));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("<span class=\"logLine\"", 0) != 0 || line.size() < 8 ||
            line.compare(line.size() - 8, 8, "</span>\r") != 0)
            return ::testing::AssertionFailure() << "torn line: " << line;
    return ::testing::AssertionSuccess();
}
} // namespace kvtest
