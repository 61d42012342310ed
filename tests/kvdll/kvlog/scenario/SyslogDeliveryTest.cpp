// The syslog output against a real rsyslog: what arrives, a server that goes away and comes back,
// no server at all, and settings that name no usable server.
#include "OsProcess.h"
#include "SettingsTestSupport.h"
#include "output/syslog/CSyslogQueue.h"
#include "output/syslog/RsyslogServer.h"
#include "output/syslog/SyslogMessage.h"

#include <cstdlib>
#include <future>

#ifndef _WIN32
#include <unistd.h>
#endif

#if defined(__SANITIZE_THREAD__)
#define KVLOG_TEST_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KVLOG_TEST_UNDER_TSAN 1
#endif
#endif

namespace
{
class SyslogDeliveryTest : public WatchedSettingsTest
{
protected:
    void SetUp() override
    {
        KvlogTest::SetUp();
        if (!kvtest::RsyslogServer::IsInstalled())
            GTEST_SKIP() << "rsyslogd is not installed";
    }

    // Starts the application afresh after writing its syslog settings.
    void StartApplication(const std::string& server, const char* transport)
    {
        m_motion.reset();
        CLogControl::DestroyInstance();
        ASSERT_TRUE(kvtest::EditSettingsFile(SettingsFile(), "config",
                                             {{"OutputDevice", "6"},
                                              {"SyslogServer", server.c_str()},
                                              {"SyslogTransport", transport}}));
        WatchedSettingsTest::StartApplication();
    }
    static std::string Loopback(unsigned short port) { return "127.0.0.1:" + std::to_string(port); }
    bool LogFileHas(const std::string& part) const
    {
        return kvtest::ReadWholeFile(LogFile()).find(part) != std::string::npos;
    }
    int Notices(const std::string& part) const { return kvtest::CountOf(Output(), part); }

    kvtest::RsyslogServer m_server;
};

TEST_F(SyslogDeliveryTest, EveryLineArrivesWithItsFieldsOverUdpAndTcp)
{
    ASSERT_TRUE(m_server.Start());
    const int kLines = 40;
    const char* const levels[] = {"Error", "Warning", "Information", "Success"};
    const unsigned severities[] = {3, 4, 6, 5};
    for (const auto& [transport, port] :
         {std::make_pair("udp", m_server.UdpPort()), std::make_pair("tcp", m_server.TcpPort())})
    {
        SCOPED_TRACE(transport);
        const std::size_t before = m_server.Received().size();
        StartApplication(Loopback(port), transport);
        for (int n = 0; n < kLines; ++n)
        {
            const std::string id = "ID" + std::to_string(n);
            m_motion->LogID(__FILE__, static_cast<unsigned long>(n), "Send", 1UL << (n % 4),
                            levels[n % 4], n % 2 == 0 ? id.c_str() : nullptr,
                            "line %d caf\xC3\xA9 \"q\" ]", n);
        }
        ASSERT_TRUE(m_server.WaitForReceived(before + kLines));
        const std::vector<std::string> received = m_server.Received();
        ASSERT_EQ(before + kLines, received.size());
        for (int n = 0; n < kLines; ++n)
        {
            const kvtest::SyslogMessage parsed = kvtest::ParseSyslogMessage(received[before + n]);
            EXPECT_EQ(std::to_string(8 + severities[n % 4]) + " Motor_Test " +
                          std::to_string(os::GetCurrentProcessId()) + " " +
                          (n % 2 == 0 ? "ID" + std::to_string(n) : "-") + " Motion line " +
                          std::to_string(n) + " caf\xC3\xA9 \"q\" ]",
                      std::to_string(parsed.priority) + " " + parsed.appName + " " + parsed.procId +
                          " " + parsed.msgId + " " + parsed.Param("component") + " " +
                          parsed.message)
                << received[before + n];
        }
        EXPECT_TRUE(LogFileHas("line 39"));
        EXPECT_EQ(1, Notices("\tSyslog: " + Loopback(port) + " over " + transport + "\n"));
        EXPECT_EQ(0, Notices("kvlog: cannot reach")) << Output();

        // The last component's end stops the sender; a line of no component starts a new one.
        m_motion.reset();
        CLogComponent::OldWriteLoggingInfo("old.cpp", 1, "Old", 1, "without a component");
        ASSERT_TRUE(m_server.WaitForReceived(before + kLines + 1));
        const kvtest::SyslogMessage last = kvtest::ParseSyslogMessage(m_server.Received().back());
        EXPECT_EQ("NotSet without a component", last.Param("component") + " " + last.message);
    }

    // An emptied server turns the output off until a server is set again. (A refused value
    // leaves the one in force.)
    const std::string server = Loopback(m_server.TcpPort());
    StartApplication(server, "tcp");
    for (const std::string& value : {std::string(), server})
    {
        const int reports = Reports();
        ASSERT_TRUE(EditUntil("config", {{"SyslogServer", value.c_str()}},
                              [&] { return Reports() > reports; }));
        m_motion->Log(LOG_ERROR, "logged with \"%s\"", value.c_str());
    }
    const auto arrived = [&]
    { return m_server.Received().back().find(server) != std::string::npos; };
    ASSERT_TRUE(kvtest::WaitUntil(arrived));
    EXPECT_EQ(std::string::npos, m_server.Received().end()[-2].find("logged with \"\""));
}

// Lines logged while the server is away wait in the queue and follow the reconnect; those beyond
// its bound are dropped oldest first, and the first line through says how many went.
TEST_F(SyslogDeliveryTest, TcpLinesQueuedWhileTheServerRestartsArriveUpToTheBound)
{
    ASSERT_TRUE(m_server.Start());
    StartApplication(Loopback(m_server.TcpPort()), "tcp");
    for (int n = 0; n < 5; ++n)
        m_motion->Log(LOG_INFORMATION, "before %d", n);
    ASSERT_TRUE(m_server.WaitForReceived(5));
    ASSERT_TRUE(m_server.Stop());
    const int kQueued = static_cast<int>(CSyslogQueue::kDefaultCapacity) + 100;
    for (int n = 0; n < kQueued; ++n)
        m_motion->Log(LOG_INFORMATION, "queued %d", n);
    ASSERT_TRUE(m_server.Start());
    m_motion->Log(LOG_INFORMATION, "after");
    const auto afterArrived = [this]
    { return kvtest::ParseSyslogMessage(m_server.Received().back()).message == "after"; };
    ASSERT_TRUE(kvtest::WaitUntil(afterArrived, 30000));

    std::vector<std::string> received = m_server.Received();
    received.erase(received.begin(), received.begin() + 5);
    received.pop_back();
    ASSERT_FALSE(received.empty());
    const kvtest::SyslogMessage first = kvtest::ParseSyslogMessage(received.front());
    EXPECT_EQ("1", first.Param("reconnects")) << received.front() << Output();
    const unsigned long dropped = std::strtoul(first.Param("dropped").c_str(), nullptr, 10);
    // Lines already handed to a connection whose server went are lost with it: at most one here;
    // Wine's sockets take a few more before they report the loss.
#ifdef _WIN32
    const unsigned long kInFlight = 64;
#else
    const unsigned long kInFlight = 1;
#endif
    EXPECT_GE(dropped + kInFlight, 100u);
    EXPECT_LE(static_cast<std::size_t>(kQueued) - dropped - received.size(), kInFlight);
    const std::size_t firstQueued = static_cast<std::size_t>(kQueued) - received.size();
    for (std::size_t at = 1; at < received.size(); ++at)
        EXPECT_EQ("queued " + std::to_string(firstQueued + at),
                  kvtest::ParseSyslogMessage(received[at]).message);
    EXPECT_EQ(1, Notices("kvlog: the syslog queue was full; " + std::to_string(dropped) +
                         " lines dropped\n"));
    EXPECT_EQ(1, Notices("kvlog: reconnected to the syslog server"));
}

TEST_F(SyslogDeliveryTest, WithoutAServerLoggingNeverWaitsAndAnUnusableOneIsReportedOnce)
{
    const unsigned short port = kvtest::RsyslogServer::UnusedPort();
    const std::string allUnsent = "kvlog: the syslog output stopped with 20000 lines not sent\n";
    for (const char* transport : {"udp", "tcp"})
    {
        m_capture.Clear();
        const auto logWithoutServer = [&]
        {
            StartApplication(Loopback(port), transport);
            for (int n = 0; n < 20000; ++n)
                m_motion->Log(LOG_INFORMATION, "nobody listens %d", n);
            // The last component's end has awaited the sender, on every system.
            m_motion.reset();
            EXPECT_EQ(transport[0] == 't' ? 1 : 0, Notices(allUnsent)) << Output();
            CLogControl::DestroyInstance();
        };
        // A caller that waits on the network ends the test program instead of hanging it.
        std::future<void> done = std::async(std::launch::async, logWithoutServer);
        if (done.wait_for(std::chrono::seconds(60)) != std::future_status::ready)
            std::abort();
        EXPECT_TRUE(LogFileHas("nobody listens 19999")) << transport;
    }
    EXPECT_EQ(1, Notices("kvlog: cannot reach the syslog server 127.0.0.1:" + std::to_string(port) +
                         " over tcp"));
    // What never left is counted, the queued lines and those the full queue dropped alike.
    EXPECT_EQ(1, Notices(allUnsent));

    // Settings that name no usable server are reported once, and file logging goes on.
    // The server, its notice and the lines reported lost when the program ends.
    const std::tuple<const char*, const char*, int> rows[] = {
        {"no-such-host.invalid", "\"no-such-host.invalid\" cannot be resolved", 2},
        {"127.0.0.1:0", "port \"0\" is not a number from 1 to 65535", 0},
    };
    for (const auto& [server, notice, unsent] : rows)
    {
        m_capture.Clear();
        StartApplication(server, "udp");
        m_motion->Log(LOG_ERROR, "first for %s", server);
        ASSERT_TRUE(kvtest::WaitUntil([&, wanted = notice] { return Notices(wanted) > 0; }))
            << Output();
        // A reload that keeps the value does not repeat the notice.
        const int reports = Reports();
        ASSERT_TRUE(EditUntil("config", {{"Level", "15"}}, [&] { return Reports() > reports; }));
        m_motion->Log(LOG_ERROR, "second for %s", server);
        EXPECT_EQ(1, Notices(notice)) << Output();
        EXPECT_EQ(1, Notices("kvlog: ") + Notices("Setting refused")) << Output();
        EXPECT_TRUE(LogFileHas(std::string("second for ") + server));
        m_motion.reset();
        CLogControl::DestroyInstance();
        EXPECT_EQ(unsent == 0 ? 0 : 1, Notices("kvlog: the syslog output stopped with " +
                                               std::to_string(unsent) + " lines not sent\n"))
            << Output();
    }
    // Read when present, never written.
    EXPECT_EQ(std::string::npos, kvtest::ReadWholeFile(SettingsFile()).find("SyslogFacility"));
}

#if !defined(_WIN32) && !defined(KVLOG_TEST_UNDER_TSAN)
// A child of fork has no sender thread; its lines go through one of its own, under its own
// process id. (The thread sanitizer refuses threads started in a child of a threaded process.)
TEST_F(SyslogDeliveryTest, AForkedChildSendsThroughASenderOfItsOwn)
{
    ASSERT_TRUE(m_server.Start());
    StartApplication(Loopback(m_server.TcpPort()), "tcp");
    m_motion->Log(LOG_INFORMATION, "from the parent");
    ASSERT_TRUE(m_server.WaitForReceived(1));
    // The child names itself once its line has arrived.
    std::string child;
    ASSERT_TRUE(kvtest::RunInChild(
        [this]
        {
            m_motion->Log(LOG_INFORMATION, "from the child");
            return m_server.WaitForReceived(2, 10000) ? std::to_string(::getpid()) : "";
        },
        child, 20000));
    m_motion->Log(LOG_INFORMATION, "from the parent again");
    ASSERT_TRUE(m_server.WaitForReceived(3));
    const std::vector<std::string> received = m_server.Received();
    const kvtest::SyslogMessage fromChild = kvtest::ParseSyslogMessage(received[1]);
    EXPECT_EQ("from the child " + child, fromChild.message + " " + fromChild.procId);
    EXPECT_EQ(std::to_string(::getpid()), kvtest::ParseSyslogMessage(received[2]).procId);
}
#endif
} // namespace
