#include "output/syslog/CSyslogTarget.h"

#include <cstdlib>
#include <cstring>

namespace
{
const char* const kFacilityNames[] = {"kern",   "user",   "mail",   "daemon", "auth",     "syslog",
                                      "lpr",    "news",   "uucp",   "cron",   "authpriv", "ftp",
                                      "ntp",    "audit",  "alert",  "clock",  "local0",   "local1",
                                      "local2", "local3", "local4", "local5", "local6",   "local7"};
const unsigned long kFacilityCount = sizeof kFacilityNames / sizeof kFacilityNames[0];

bool IsDigits(const CString& text)
{
    for (int at = 0; at < text.GetLength(); ++at)
        if (text[at] < '0' || text[at] > '9')
            return false;
    return !text.IsEmpty();
}

bool IsMadeOf(const CString& text, const char* letters)
{
    for (int at = 0; at < text.GetLength(); ++at)
    {
        const char ch = text[at];
        const bool alphanumeric =
            (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
        if (!alphanumeric && std::strchr(letters, ch) == nullptr)
            return false;
    }
    return !text.IsEmpty();
}
} // namespace

bool CSyslogTarget::Parse(const char* server, const char* transport, const char* facility,
                          CString& problem)
{
    return ParseTransport(transport, problem) && ParseServer(server, problem) &&
           ParseFacility(facility, problem);
}

bool CSyslogTarget::ParseTransport(const char* transport, CString& problem)
{
    CString kind(transport);
    kind.Trim().MakeLower();
    if (kind.IsEmpty() || kind == "udp")
        m_stream = false;
    else if (kind == "tcp")
        m_stream = true;
    else
    {
        problem.Format("\"SyslogTransport\" \"%s\" is neither \"udp\" nor \"tcp\"", transport);
        return false;
    }
    return true;
}

bool CSyslogTarget::ParseServer(const char* text, CString& problem)
{
    CString server(text);
    server.Trim();
    m_port = kDefaultPort;
    CString port;
    const int lastColon = server.ReverseFind(':');
    if (server.Left(1) == "[")
    {
        const int close = server.Find(']');
        m_host = close > 0 ? server.Mid(1, close - 1) : CString();
        const CString rest = close > 0 ? server.Mid(close + 1) : CString("?");
        if (!rest.IsEmpty() && (rest.Left(1) != ":" || !ParsePort(rest.Mid(1), problem)))
        {
            if (problem.IsEmpty())
                problem.Format("\"SyslogServer\" \"%s\" is not [address]:port", server.GetString());
            return false;
        }
        if (IsMadeOf(m_host, ":.%"))
            return true;
    }
    else if (lastColon >= 0 && server.Find(':') == lastColon)
    {
        m_host = server.Left(lastColon);
        if (!ParsePort(server.Mid(lastColon + 1), problem))
            return false;
        if (IsMadeOf(m_host, "-._"))
            return true;
    }
    else
    {
        // No colon is a name or IPv4 address; several are an IPv6 address without a port.
        m_host = server;
        if (IsMadeOf(m_host, lastColon >= 0 ? ":.%" : "-._"))
            return true;
    }
    problem.Format(m_host.IsEmpty() ? "\"SyslogServer\" \"%s\" names no host"
                                    : "\"SyslogServer\" \"%s\" is not a host name or address",
                   server.GetString());
    return false;
}

bool CSyslogTarget::ParsePort(const CString& digits, CString& problem)
{
    const unsigned long port =
        IsDigits(digits) && digits.GetLength() <= 5 ? std::strtoul(digits, nullptr, 10) : 0;
    if (port == 0 || port > 65535)
    {
        problem.Format("\"SyslogServer\" port \"%s\" is not a number from 1 to 65535",
                       digits.GetString());
        return false;
    }
    m_port = static_cast<unsigned short>(port);
    return true;
}

bool CSyslogTarget::ParseFacility(const char* text, CString& problem)
{
    CString facility(text);
    facility.Trim();
    m_facility = kDefaultFacility;
    if (facility.IsEmpty())
        return true;
    if (IsDigits(facility) && facility.GetLength() <= 2)
        m_facility = std::strtoul(facility, nullptr, 10);
    else
    {
        m_facility = kFacilityCount;
        for (unsigned long code = 0; code < kFacilityCount; ++code)
            if (facility.CompareNoCase(kFacilityNames[code]) == 0)
                m_facility = code;
    }
    if (m_facility < kFacilityCount)
        return true;
    problem.Format("\"SyslogFacility\" \"%s\" is neither a number from 0 to 23 nor a facility name",
                   facility.GetString());
    return false;
}

CString CSyslogTarget::Describe() const
{
    CString text;
    const bool bracketed = m_host.Find(':') >= 0;
    text.Format(bracketed ? "[%s]:%u over %s" : "%s:%u over %s", m_host.GetString(),
                static_cast<unsigned>(m_port), m_stream ? "tcp" : "udp");
    return text;
}

bool CSyslogTarget::operator==(const CSyslogTarget& other) const
{
    return m_host == other.m_host && m_port == other.m_port && m_stream == other.m_stream &&
           m_facility == other.m_facility;
}
