// The debugger output of a program whose standard error is a real pseudo-terminal or a pipe: on a
// terminal each line carries its level's colour, on a pipe the bytes are the plain lines unless
// CLICOLOR_FORCE asks for colours, and NO_COLOR turns them off everywhere.
#ifndef _WIN32
#include "CKVXMLConfig.h"
#include "ProcessRunner.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
const char kPlain[] =
    "Error: red\nWarning: orange\nInformation: plain\nSuccess: green\nDebug: grey\n";
// The colours of the log file's lines; Information has none there either.
const char kColoured[] = "\x1b[38;2;255;0;0mError: red\x1b[0m\n"
                         "\x1b[38;2;255;153;0mWarning: orange\x1b[0m\n"
                         "Information: plain\n"
                         "\x1b[38;2;0;153;0mSuccess: green\x1b[0m\n"
                         "\x1b[38;2;112;112;112mDebug: grey\x1b[0m\n";
const int kDeadlineSeconds = 20;

// This process's environment without the colour variables, and the given entries.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& entries)
{
    std::vector<std::string> environment = entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
    {
        const std::string text = *entry;
        if (text.rfind("NO_COLOR=", 0) != 0 && text.rfind("CLICOLOR_FORCE=", 0) != 0)
            environment.push_back(text);
    }
    return environment;
}

// What arrives until the program ends and the other side closes (end of file on a pipe, EIO on
// a terminal), within the deadline.
std::string ReadUntilClosed(int reader)
{
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kDeadlineSeconds);
    for (;;)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waiting{reader, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&waiting, 1, static_cast<int>(left.count())) <= 0)
            return received + "(deadline passed)";
        char buffer[4096];
        const ssize_t got = ::read(reader, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return received;
        received.append(buffer, static_cast<std::size_t>(got));
    }
}

// Runs the "levels" scenario with its standard error on a new terminal or pipe.
std::string StandardErrorOf(bool terminal, const std::vector<std::string>& entries)
{
    int ends[2] = {-1, -1};
    termios raw{};
    ::cfmakeraw(&raw); // line feeds as they are, without the terminal's carriage returns
    if (terminal ? ::openpty(&ends[0], &ends[1], nullptr, &raw, nullptr) != 0 : ::pipe(ends) != 0)
        return "no terminal or pipe";
    const std::string program = kvtest::ProgramBesideThis("kvlog_lifecycle_program");
    std::vector<std::string> environment = EnvironmentWith(entries);
    std::vector<char*> environmentPointers;
    for (std::string& entry : environment)
        environmentPointers.push_back(&entry[0]);
    environmentPointers.push_back(nullptr);
    std::string scenario = "levels";
    char* arguments[] = {const_cast<char*>(program.c_str()), &scenario[0], nullptr};
    const pid_t child = ::fork();
    if (child == 0)
    {
        ::dup2(ends[1], STDERR_FILENO);
        ::execve(program.c_str(), arguments, environmentPointers.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    const std::string received = child > 0 ? ReadUntilClosed(ends[0]) : "no child";
    ::close(ends[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    // The configuration report of the settings load is not a log line.
    static const std::regex kReport(
        "<Logging Configuration>\n[\\s\\S]*?</Logging Configuration>\n");
    return std::regex_replace(received, kReport, "");
}

TEST(TerminalColourTest, LinesAreColouredOnATerminalOnly)
{
    kvtest::TempSuite suite;
    {
        CKVXMLConfig settings;
        ASSERT_TRUE(settings.Open(suite.Sub("log\\xdb_Levels.xdb")));
        settings.SetString("config", "OutputDevice", "1");
        settings.SetString("config", "Format", "LEVELSTRING: MESSAGE");
        settings.SetString("config", "Level", "0xFFFFFFFF");
        settings.SetString("Levels", "_Level", "0xFFFFFFFF");
        ASSERT_TRUE(settings.Save());
    }
    struct Case
    {
        bool terminal;
        std::vector<std::string> environment;
        const char* expected;
    };
    const Case cases[] = {
        {true, {}, kColoured},
        {true, {"NO_COLOR=1"}, kPlain},
        {true, {"NO_COLOR="}, kColoured},
        {false, {}, kPlain},
        {false, {"CLICOLOR_FORCE=1"}, kColoured},
        {false, {"CLICOLOR_FORCE=0"}, kPlain},
        {false, {"CLICOLOR_FORCE=1", "NO_COLOR=1"}, kPlain},
    };
    for (const Case& row : cases)
        EXPECT_EQ(row.expected, StandardErrorOf(row.terminal, row.environment))
            << "terminal " << row.terminal << ", " << ::testing::PrintToString(row.environment);
}
} // namespace
#endif
