// The edges of a process whose settings file turns its outputs on. Forking a program whose threads
// log, with every output on (debugger, file written or mapped, syslog over UDP or TCP to a real
// rsyslog) and a sink that makes components from inside its callbacks: no process hangs, and
// every child logs its line and ends promptly. Another program shortening a mapped log file while
// eight threads log into it (a copy into the window past the file's new end would raise SIGBUS):
// the logging program notices it, goes on from the file's new end and ends normally, and its file
// holds no zeros. The debugger output of a program whose standard error is a real pseudo-terminal
// or a pipe: on a terminal each line carries its level's colour, on a pipe the bytes are the plain
// lines unless CLICOLOR_FORCE asks for colours, and NO_COLOR turns them off everywhere.
#include "ScenarioTest.h"
#include "output/syslog/RsyslogServer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace
{
using EdgeTest = kvtest::ScenarioTest;

const int kChildren = 200;
// A child that waited for the parent's syslog sender took a second. The thread sanitizer stops
// every thread of the parent at each fork and makes children slow by seconds on a loaded
// machine: there only a child that never ends fails the run.
const int kChildMilliseconds = KVLOG_THREAD_SANITIZED ? 15000 : KVLOG_SANITIZED ? 500 : 100;
// The thread sanitizer cannot follow a thread started in the child of a threaded program (it may
// find the new thread's identity still taken), and a child's syslog sender is one: there the
// children log to the debugger output and the file only.
const char* const kOutputDevices = KVLOG_THREAD_SANITIZED ? "3" : "7";

// Every other child logs below the master level.
::testing::AssertionResult HoldsEveryChild(const std::string& text)
{
    std::string missing;
    for (int child = 0; child < kChildren; child += 2)
        if (text.find("child " + std::to_string(child) + " logs") == std::string::npos)
            missing += " " + std::to_string(child);
    return missing.empty() ? ::testing::AssertionSuccess()
                           : ::testing::AssertionFailure() << "no line of the children" << missing;
}

TEST_F(EdgeTest, ChildrenOfAProgramLoggingToEveryOutputLogAndEndPromptly)
{
    if (!kvtest::RsyslogServer::IsInstalled())
        GTEST_SKIP() << "rsyslogd is not installed";
    for (const bool tcp : {false, true})
    {
        SCOPED_TRACE(tcp ? "tcp, mapped file" : "udp, written file");
        kvtest::RsyslogServer server;
        ASSERT_TRUE(server.Start());
        const unsigned short port = tcp ? server.TcpPort() : server.UdpPort();
        Configure("log\\xdb_Fork_Edge.xdb", {{"OutputDevice", kOutputDevices},
                                             {"SyslogServer", "127.0.0.1:" + std::to_string(port)},
                                             {"SyslogTransport", tcp ? "tcp" : "udp"},
                                             {"FileMapping", tcp ? "1" : "0"},
                                             {"DisplayLoggingInformation", "0"}});
        ASSERT_TRUE(kvtest::EndedWell(
            Run({"fork", std::to_string(kChildren), std::to_string(kChildMilliseconds)}, 180000)));
        const std::string debugOutput = Read("work\\stderr.txt");
        EXPECT_TRUE(HoldsEveryChild(debugOutput));
        // A child says why its file lines go to the debugger: the file is its parent's, not full.
        EXPECT_EQ(tcp, debugOutput.find("mapped by the parent process") != std::string::npos);
        EXPECT_EQ(std::string::npos, debugOutput.find("takes no lines"));
        // A mapped file stays the parent's: the children's file lines go to the debugger. A
        // written one holds them, and no child tore a line or wrote a footer.
        if (!tcp)
        {
            const std::string log = Read("log\\log_Fork_Edge.htm");
            EXPECT_TRUE(HoldsEveryChild(log));
            EXPECT_TRUE(kvtest::LinesAreWhole(log));
        }
        // Datagrams may be dropped; a stream delivers every child's line.
        if (tcp && !KVLOG_THREAD_SANITIZED)
        {
            std::string received;
            kvtest::WaitUntil(
                [&]
                {
                    received.clear();
                    for (const std::string& message : server.Received())
                        received += message + "\n";
                    return HoldsEveryChild(received);
                },
                60000);
            EXPECT_TRUE(HoldsEveryChild(received));
        }
    }
}

// Shortened twenty times by hand, then rotated twice by the real logrotate with "copytruncate".
// The handler that keeps a shortened file from ending the program passes every other SIGBUS on:
// to the program's own handler, or to the default action (a sanitizer's handler, where one is).
TEST_F(EdgeTest, AShortenedMappedFileIsWrittenOnFromItsNewEndAndOtherBusErrorsPassOn)
{
    const int kLogMilliseconds = 3000;
    const int kShortenings = 20;
    Configure("log\\xdb_Soak_Test.xdb", {{"FileMapping", "1"}, {"DisplayLoggingInformation", "0"}});
    const std::string log = m_root.Sub("log\\log_Soak_Test.htm").str();
    const bool logrotate = std::system("logrotate --version >/dev/null 2>&1") == 0;
    const std::string config = Work() + "/logrotate.conf";
    std::ofstream(config) << log << " {\n    copytruncate\n    rotate 5\n}\n";
    const std::string rotate = "logrotate --force --state " + Work() + "/state " + config;
    const auto run = Start({"soak", std::to_string(kLogMilliseconds)});
    ASSERT_TRUE(kvtest::WaitUntil(
        [&] { return kvtest::ReadWholeFile(log.c_str()).find("soak t=") != std::string::npos; }));
    for (int i = 0; i < kShortenings; ++i)
    {
        ASSERT_EQ(0, ::truncate(log.c_str(), 0));
        std::this_thread::sleep_for(std::chrono::milliseconds(kLogMilliseconds / 3 / kShortenings));
    }
    for (int i = 0; i < 2 && logrotate; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(kLogMilliseconds / 6));
        ASSERT_EQ(0, std::system(rotate.c_str()));
    }
    ASSERT_TRUE(kvtest::EndedWell(Wait(run)));
    const std::string text = kvtest::ReadWholeFile(log.c_str());
    EXPECT_EQ(std::string::npos, text.find('\0'));
    EXPECT_NE(std::string::npos, text.find("soak t="));
    const int notices =
        kvtest::CountOf(Read("work\\stderr.txt"), "another program shortened the mapped log file");
    EXPECT_LE(1, notices);
    EXPECT_GE(kShortenings + 2, notices);
    if (logrotate)
    {
        EXPECT_NE(std::string::npos, kvtest::ReadWholeFile((log + ".2").c_str()).find("soak t="));
    }
    for (const bool own : {true, false})
    {
        SCOPED_TRACE(own ? "a handler of its own" : "the default action");
        const os::ChildOutcome outcome = Run({"bus", own ? "own" : "default"});
        EXPECT_TRUE(outcome.ended);
        EXPECT_EQ(own, outcome.exitCode == 0) << outcome.exitCode;
        EXPECT_NE(std::string::npos, kvtest::ReadWholeFile(log.c_str()).find("before the signal"));
    }
}

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

TEST_F(EdgeTest, LinesAreColouredOnATerminalOnly)
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
