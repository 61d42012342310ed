// A reader of syslog messages in the standard's current format, written from the standard's
// grammar rather than from the formatter, so that the tests check one against the other.
#pragma once

#include <map>
#include <regex>
#include <string>

namespace kvtest
{
struct SyslogMessage
{
    bool valid = false;
    unsigned priority = 0;
    std::string timestamp, hostName, appName, procId, msgId, message;
    // The parameters of the one element the formatter writes, with the escapes undone.
    std::map<std::string, std::string> params;

    std::string Param(const std::string& name) const
    {
        return params.count(name) != 0 ? params.at(name) : std::string();
    }
};

inline SyslogMessage ParseSyslogMessage(const std::string& text)
{
    static const std::regex kHeader(
        R"(^<(\d{1,3})>1 (\S+) (\S{1,255}) (\S{1,48}) (\S{1,128}) (\S{1,32}) \[kvlog@32473)");
    // A name, and a quoted value in which quote, backslash and ']' come escaped.
    static const std::regex kParam(R"(^ ([!#-<>-\\^-~]+)="((?:[^"\\\]]|\\.)*)\")");
    static const std::regex kEscape(R"(\\(["\\\]]))");
    SyslogMessage parsed;
    std::smatch match;
    if (!std::regex_search(text, match, kHeader))
        return parsed;
    parsed.priority = static_cast<unsigned>(std::stoul(match[1]));
    parsed.timestamp = match[2];
    parsed.hostName = match[3];
    parsed.appName = match[4];
    parsed.procId = match[5];
    parsed.msgId = match[6];
    auto at = text.cbegin() + match.length(0);
    for (; std::regex_search(at, text.cend(), match, kParam); at += match.length(0))
        parsed.params[match[1]] = std::regex_replace(match[2].str(), kEscape, "$1");
    if (at == text.cend() || *at++ != ']' || (at != text.cend() && *at != ' '))
        return parsed;
    parsed.message = at == text.cend() ? std::string() : std::string(at + 1, text.cend());
    parsed.valid = parsed.priority < 192;
    return parsed;
}
} // namespace kvtest
