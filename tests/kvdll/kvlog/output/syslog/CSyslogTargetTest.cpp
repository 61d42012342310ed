#include "output/syslog/CSyslogTarget.h"

#include <gtest/gtest.h>

TEST(SyslogTargetTest, AcceptedServerTransportAndFacility)
{
    struct Row
    {
        const char* server;
        const char* transport;
        const char* facility;
        const char* host;
        unsigned port;
        bool stream;
        unsigned long facilityCode;
    };
    const Row rows[] = {
        {"logs.lab", "", "", "logs.lab", 514, false, 1},
        {" 10.0.0.5:6514 ", "TCP", "local3", "10.0.0.5", 6514, true, 19},
        {"collector_1:65535", "udp", "23", "collector_1", 65535, false, 23},
        {"[::1]:5514", "tcp", "Daemon", "::1", 5514, true, 3},
        {"fe80::1%eth0", "", "0", "fe80::1%eth0", 514, false, 0},
    };
    for (const Row& row : rows)
    {
        CSyslogTarget target;
        CString problem;
        ASSERT_TRUE(target.Parse(row.server, row.transport, row.facility, problem))
            << row.server << ": " << problem.GetString();
        EXPECT_STREQ(row.host, target.GetHost());
        EXPECT_EQ(row.port, target.GetPort());
        EXPECT_EQ(row.stream, target.IsStream());
        EXPECT_EQ(row.facilityCode, target.GetFacility());
    }
}

TEST(SyslogTargetTest, RefusedValuesNameTheirProblem)
{
    const char* const rows[][4] = {
        {"logs.lab:0", "", "", "port \"0\""},
        {"logs.lab:", "", "", "port \"\""},
        {":514", "", "", "names no host"},
        {"bad host!", "", "", "is not a host name"},
        {"[::1", "", "", "is not [address]:port"},
        {"logs.lab", "quic", "", "\"SyslogTransport\" \"quic\""},
        {"logs.lab", "", "24", "\"SyslogFacility\" \"24\""},
        {"logs.lab", "", "local8", "\"SyslogFacility\" \"local8\""},
    };
    for (const auto& row : rows)
    {
        CSyslogTarget target;
        CString problem;
        EXPECT_FALSE(target.Parse(row[0], row[1], row[2], problem)) << row[0];
        EXPECT_NE(-1, problem.Find(row[3])) << row[0] << ": " << problem.GetString();
    }
}
