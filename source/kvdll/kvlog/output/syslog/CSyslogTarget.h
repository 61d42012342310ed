// Where the syslog output sends its lines, read from the settings "SyslogServer" (host or
// host:port, an IPv6 address in brackets), "SyslogTransport" ("udp" or "tcp") and
// "SyslogFacility" (a number 0 to 23 or a name such as "local0").
#pragma once

#include "CString.h"

class CSyslogTarget
{
public:
    enum
    {
        kDefaultPort = 514,
        kDefaultFacility = 1 // user-level messages
    };

    // False, with the reason in problem, when a value cannot be used. Empty texts take the
    // defaults; an empty server is a problem of its own.
    bool Parse(const char* server, const char* transport, const char* facility, CString& problem);
    // Each value by itself, as Parse takes it: the settings' rules for the three keys.
    bool ParseServer(const char* server, CString& problem);
    bool ParseTransport(const char* transport, CString& problem);
    bool ParseFacility(const char* facility, CString& problem);

    const CString& GetHost() const { return m_host; }
    unsigned short GetPort() const { return m_port; }
    bool IsStream() const { return m_stream; }
    unsigned long GetFacility() const { return m_facility; }
    // "host:port over udp" for notices.
    CString Describe() const;

    bool operator==(const CSyslogTarget& other) const;
    bool operator!=(const CSyslogTarget& other) const { return !(*this == other); }

private:
    bool ParsePort(const CString& digits, CString& problem);

    CString m_host;
    unsigned short m_port = kDefaultPort;
    bool m_stream = false;
    unsigned long m_facility = kDefaultFacility;
};
