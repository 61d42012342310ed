// Forking a program whose threads log, with every output on (debugger, file written or mapped,
// syslog over UDP or TCP to a real rsyslog) and a sink that makes components from inside its
// callbacks: no process hangs, and every child logs its line and ends promptly.
#ifndef _WIN32
#include "ProcessRunner.h"
#include "TestSupport.h"
#include "output/syslog/RsyslogServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace
{
const int kChildren = 200;
const int kDeadlineMilliseconds = 180000;
// A child that waited for the parent's syslog sender took a second.
const int kChildMilliseconds = KVLOG_SANITIZED ? 500 : 100;
// The thread sanitizer cannot follow a thread started in the child of a threaded program (it may
// find the new thread's identity still taken), and a child's syslog sender is one: there the
// children log to the debugger output and the file only.
const char* const kOutputDevices = KVLOG_THREAD_SANITIZED ? "3" : "7";

class ForkTest : public ::testing::Test
{
protected:
    void Configure(const kvtest::RsyslogServer& server, const std::string& transport,
                   const char* mapping)
    {
        const unsigned short port = transport == "tcp" ? server.TcpPort() : server.UdpPort();
        kvtest::WriteConfigSettings(m_root.Sub("log\\xdb_Fork_Edge.xdb").str(),
                                    {{"OutputDevice", kOutputDevices},
                                     {"SyslogServer", "127.0.0.1:" + std::to_string(port)},
                                     {"SyslogTransport", transport},
                                     {"FileMapping", mapping},
                                     {"DisplayLoggingInformation", "0"}});
    }
    std::string Work(const char* name) { return kvtest::ReadWholeFile(m_root.Sub(name)); }
    // The library's own notices, which say why a line went nowhere.
    static std::string Notices(const std::string& output)
    {
        std::string notices;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);)
            if (line.compare(0, 7, "kvlog: ") == 0)
                notices += line + "\n";
        return notices;
    }

    kvtest::TempSuite m_root;
    // The children start threads (their own syslog sender); the programs leave objects behind.
    kvtest::ScopedEnvironment m_tsan{
        "TSAN_OPTIONS",
        (std::string(std::getenv("TSAN_OPTIONS") != nullptr ? std::getenv("TSAN_OPTIONS") : "") +
         " die_after_fork=0 atexit_sleep_ms=0")
            .c_str()};
    kvtest::ScopedEnvironment m_asan{"ASAN_OPTIONS", "detect_leaks=0"};
};

// Every other child logs below the master level.
::testing::AssertionResult HoldsEveryChild(const std::string& text)
{
    std::string missing;
    for (int child = 0; child < kChildren; child += 2)
        if (text.find("child " + std::to_string(child) + " logs") == std::string::npos)
            missing += " " + std::to_string(child);
    if (missing.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no line of the children" << missing;
}
} // namespace

TEST_F(ForkTest, ChildrenOfAProgramLoggingToEveryOutputLogAndEndPromptly)
{
    if (!kvtest::RsyslogServer::IsInstalled())
        GTEST_SKIP() << "rsyslogd is not installed";
    struct Row
    {
        const char* transport;
        const char* mapping;
    };
    for (const Row& row : {Row{"udp", "0"}, Row{"tcp", "1"}})
    {
        SCOPED_TRACE(std::string(row.transport) + ", FileMapping " + row.mapping);
        kvtest::RsyslogServer server;
        ASSERT_TRUE(server.Start());
        Configure(server, row.transport, row.mapping);
        const kvtest::ProcessOutcome outcome = kvtest::RunProcess(
            kvtest::ProgramBesideThis("kvlog_edge_program"),
            {"fork", std::to_string(kChildren), std::to_string(kChildMilliseconds)},
            m_root.Sub("work").str(), kDeadlineMilliseconds);
        ASSERT_TRUE(outcome.ended && outcome.normal && outcome.exitCode == 0)
            << "ended " << outcome.ended << ", code " << outcome.exitCode;
        EXPECT_TRUE(HoldsEveryChild(Work("work\\stderr.txt")));
        // A mapped file stays the parent's: the children's file lines go to the debugger.
        if (std::string(row.mapping) == "0")
        {
            EXPECT_TRUE(HoldsEveryChild(Work("log\\log_Fork_Edge.htm")));
        }
        // Datagrams may be dropped; a stream delivers every child's line.
        if (std::string(row.transport) == "tcp" && !KVLOG_THREAD_SANITIZED)
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
            EXPECT_TRUE(HoldsEveryChild(received))
                << server.Received().size() << " messages; the children said:\n"
                << Notices(Work("work\\stderr.txt"));
        }
    }
}
#endif
