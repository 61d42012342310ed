// The debugger output of a program whose standard error is a real pseudo-terminal or a pipe: on a
// terminal each line carries its level's colour, on a pipe the bytes are the plain lines unless
// CLICOLOR_FORCE asks for colours, and NO_COLOR turns them off everywhere.
#ifndef _WIN32
#include "ScenarioTest.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

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

// The "levels" scenario's standard error on a new terminal or pipe, with the colour variables
// given (null: unset); what arrives until the other side closes (end of file on a pipe, EIO on a
// terminal) within 20 s.
std::string StandardErrorOf(bool terminal, const char* noColour, const char* forced)
{
    const kvtest::ScopedEnvironment noColourVariable("NO_COLOR", noColour);
    const kvtest::ScopedEnvironment forcedVariable("CLICOLOR_FORCE", forced);
    int ends[2] = {-1, -1};
    termios raw{};
    ::cfmakeraw(&raw); // line feeds as they are, without the terminal's carriage returns
    if (terminal ? ::openpty(&ends[0], &ends[1], nullptr, &raw, nullptr) != 0 : ::pipe(ends) != 0)
        return "no terminal or pipe";
    const std::string program = kvtest::SiblingProgram("kvlog_lifecycle_program").str();
    const pid_t child = ::fork();
    if (child == 0)
    {
        ::dup2(ends[1], STDERR_FILENO);
        ::execl(program.c_str(), program.c_str(), "levels", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ends[1]);
    std::string received;
    char buffer[4096];
    pollfd waiting{ends[0], POLLIN, 0};
    for (ssize_t got = 1; got != 0 && ::poll(&waiting, 1, 20000) == 1;)
        if ((got = ::read(ends[0], buffer, sizeof buffer)) > 0)
            received.append(buffer, static_cast<std::size_t>(got));
        else if (got < 0 && errno != EINTR)
            got = 0;
    ::close(ends[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return received;
}

using TerminalColourTest = kvtest::ScenarioTest;

TEST_F(TerminalColourTest, LinesAreColouredOnATerminalOnly)
{
    Configure("log\\xdb_Levels.xdb", {{"OutputDevice", "1"},
                                      {"Format", "LEVELSTRING: MESSAGE"},
                                      {"Level", "0xFFFFFFFF"},
                                      {"DisplayLoggingInformation", "0"}});
    const struct
    {
        bool terminal;
        const char* noColour;
        const char* forced;
        const char* expected;
    } rows[] = {
        {true, nullptr, nullptr, kColoured}, {true, "1", nullptr, kPlain},
        {true, "", nullptr, kColoured},      {false, nullptr, nullptr, kPlain},
        {false, nullptr, "1", kColoured},    {false, nullptr, "0", kPlain},
        {false, "1", "1", kPlain},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, StandardErrorOf(row.terminal, row.noColour, row.forced))
            << "terminal " << row.terminal << ", NO_COLOR " << (row.noColour ? row.noColour : "-")
            << ", CLICOLOR_FORCE " << (row.forced ? row.forced : "-");
}
} // namespace
#endif
