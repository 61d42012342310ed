#include "output/syslog/CSyslogTarget.h"

#include <gtest/gtest.h>

#include <string>

// Each row: server, transport and facility, then what an accepted target holds or the words of
// the problem a refused one names. (The settings key test refuses a port 0, an unknown transport
// and an unknown facility name.)
TEST(SyslogTargetTest, ValuesAreReadOrTheirProblemNamed)
{
    const char* const rows[][4] = {
        {"logs.lab", "", "", "logs.lab 514 udp 1"},
        {" 10.0.0.5:6514 ", "TCP", "local3", "10.0.0.5 6514 tcp 19"},
        {"collector_1:65535", "udp", "23", "collector_1 65535 udp 23"},
        {"[::1]:5514", "tcp", "Daemon", "::1 5514 tcp 3"},
        {"fe80::1%eth0", "", "0", "fe80::1%eth0 514 udp 0"},
        {"logs.lab:", "", "", "port \"\""},
        {":514", "", "", "names no host"},
        {"bad host!", "", "", "is not a host name"},
        {"[::1", "", "", "is not [address]:port"},
        {"logs.lab", "", "24", "\"SyslogFacility\" \"24\""},
    };
    for (const auto& row : rows)
    {
        CSyslogTarget target;
        CString problem;
        const bool accepted = target.Parse(row[0], row[1], row[2], problem);
        const std::string held =
            std::string(target.GetHost()) + " " + std::to_string(target.GetPort()) +
            (target.IsStream() ? " tcp " : " udp ") + std::to_string(target.GetFacility());
        EXPECT_TRUE(accepted ? held == row[3] : problem.str().find(row[3]) != std::string::npos)
            << row[0] << ": " << (accepted ? held : problem.str());
    }
}
