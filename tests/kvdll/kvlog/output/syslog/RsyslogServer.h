// A real rsyslog for the tests: started in the foreground with a configuration of its own in a
// fresh folder, listening for UDP and TCP on loopback ports, writing every message it receives
// as it came (one per line) to a file. Under Wine the same Linux rsyslogd is started.
#pragma once

#include "OsChildProcess.h"

#include <string>
#include <vector>

namespace kvtest
{
class RsyslogServer
{
public:
    RsyslogServer();
    RsyslogServer(const RsyslogServer&) = delete;
    RsyslogServer& operator=(const RsyslogServer&) = delete;
    ~RsyslogServer();

    static bool IsInstalled();
    // Starts the server and waits until it accepts connections; false when it does not.
    bool Start();
    // Ends the server and waits until it has gone; false when it does not.
    bool Stop();
    unsigned short UdpPort() const { return m_udpPort; }
    unsigned short TcpPort() const { return m_tcpPort; }
    // The messages received so far, in order.
    std::vector<std::string> Received() const;
    // Waits until at least count messages have arrived; false at the deadline.
    bool WaitForReceived(std::size_t count, int timeoutMilliseconds = 20000) const;

    // A loopback port that nothing listens on now.
    static unsigned short UnusedPort();

private:
    // A file in the folder, as Unix and as this program name it.
    std::string UnixPath(const char* name) const { return m_folder + "/" + name; }
    std::string NativePath(const char* name) const;

    std::string m_folder; // below the system's /tmp, so that rsyslogd finds it under Wine too
    unsigned short m_udpPort = 0;
    unsigned short m_tcpPort = 0;
    os::ChildProcess m_process = os::kNoChildProcess;
    bool m_running = false;
};
} // namespace kvtest
