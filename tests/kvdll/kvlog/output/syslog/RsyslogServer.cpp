#include "output/syslog/RsyslogServer.h"

#include "OsProcess.h"
#include "OsSocket.h"
#include "TestSupport.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kvtest
{
namespace
{
#ifdef _WIN32
// Wine shows the Unix root as drive Z:.
const char kUnixRoot[] = "Z:";
#else
const char kUnixRoot[] = "";
#endif

std::string Native(const std::string& unixPath)
{
    return std::filesystem::path(kUnixRoot + unixPath).make_preferred().string();
}

// True when something accepts TCP connections on the loopback port.
bool IsListening(unsigned short port)
{
    os::SocketAddress address;
    CString error;
    if (!os::ResolveSocketAddress("127.0.0.1", port, os::SocketKind::kStream, address, error))
        return false;
    const os::SocketHandle probe = os::OpenSocket(address, os::SocketKind::kStream);
    const bool accepted = probe != os::kNoSocket && os::WaitSocketWritable(probe, 1000) > 0;
    os::CloseSocket(probe);
    return accepted;
}
} // namespace

RsyslogServer::RsyslogServer()
{
    static std::atomic<int> serial{0};
    m_folder = "/tmp/kvlog-rsyslog-" + std::to_string(os::GetCurrentProcessId()) + "-" +
               std::to_string(serial++);
    std::filesystem::remove_all(Native(m_folder));
    std::filesystem::create_directories(Native(m_folder));
    m_udpPort = UnusedPort();
    m_tcpPort = UnusedPort();
    std::ofstream config(NativePath("rsyslog.conf"), std::ios::binary);
    config << "global(workDirectory=\"" << m_folder << "\" maxMessageSize=\"16k\")\n"
           << "module(load=\"imudp\")\nmodule(load=\"imtcp\")\n"
           << "input(type=\"imudp\" address=\"127.0.0.1\" port=\"" << m_udpPort << "\")\n"
           << "input(type=\"imtcp\" address=\"127.0.0.1\" port=\"" << m_tcpPort << "\")\n"
           << "template(name=\"raw\" type=\"string\" string=\"%rawmsg%\\n\")\n"
           << "if $inputname == \"imudp\" or $inputname == \"imtcp\" then action(type=\"omfile\" "
           << "file=\"" << UnixPath("received.log") << "\" template=\"raw\")\n";
}

RsyslogServer::~RsyslogServer()
{
    Stop();
    std::error_code ignored;
    std::filesystem::remove_all(Native(m_folder), ignored);
}

bool RsyslogServer::IsInstalled()
{
    return std::filesystem::exists(Native("/usr/sbin/rsyslogd"));
}

bool RsyslogServer::Start()
{
    if (m_running)
        return true;
    m_running = os::StartChildProcess(
        Native("/usr/sbin/rsyslogd").c_str(),
        {"-n", "-f", UnixPath("rsyslog.conf").c_str(), "-i", UnixPath("rsyslogd.pid").c_str()},
        m_process);
    return m_running && WaitUntil([this] { return IsListening(m_tcpPort); }, 10000);
}

bool RsyslogServer::Stop()
{
    if (!m_running)
        return true;
    m_running = false;
    const auto gone = [this]
    { return !std::filesystem::exists(NativePath("rsyslogd.pid")) && !IsListening(m_tcpPort); };
    if (m_process != os::kNoChildProcess)
    {
        os::StopChildProcess(m_process, 10000);
        m_process = os::kNoChildProcess;
        return WaitUntil(gone, 10000);
    }
    // Wine gives no handle to a Unix program: the Unix kill ends it, named by its pid file.
    const std::string pid =
        std::to_string(std::atol(ReadWholeFile(NativePath("rsyslogd.pid").c_str()).c_str()));
    os::ChildProcess kill = os::kNoChildProcess;
    return pid != "0" &&
           os::StartChildProcess(Native("/bin/kill").c_str(), {"-TERM", pid.c_str()}, kill) &&
           WaitUntil(gone, 10000);
}

std::vector<std::string> RsyslogServer::Received() const
{
    std::vector<std::string> lines;
    std::istringstream stream(ReadWholeFile(NativePath("received.log").c_str()));
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

bool RsyslogServer::WaitForReceived(std::size_t count, int timeoutMilliseconds) const
{
    return WaitUntil([&] { return Received().size() >= count; }, timeoutMilliseconds);
}

unsigned short RsyslogServer::UnusedPort()
{
    // Spread by process, so that test programs running side by side pick different ports.
    static std::atomic<unsigned long> next{20000 + (os::GetCurrentProcessId() % 2000) * 10};
    for (;;)
    {
        const auto port = static_cast<unsigned short>(next++);
        if (!IsListening(port))
            return port;
    }
}

std::string RsyslogServer::NativePath(const char* name) const
{
    return Native(UnixPath(name));
}
} // namespace kvtest
