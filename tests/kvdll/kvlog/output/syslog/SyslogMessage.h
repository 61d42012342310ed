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
    std::string timestamp;
    std::string hostName;
    std::string appName;
    std::string procId;
    std::string msgId;
    // The parameters of the one element the formatter writes, with the escapes undone.
    std::map<std::string, std::string> params;
    std::string message;

    std::string Param(const std::string& name) const
    {
        const auto param = params.find(name);
        return param == params.end() ? std::string() : param->second;
    }
};

namespace detail
{
// A quoted value, in which quote, backslash and ']' come escaped.
inline bool ReadValue(const std::string& text, std::size_t& at, std::string& value)
{
    if (at >= text.size() || text[at++] != '"')
        return false;
    for (; at < text.size() && text[at] != ']'; ++at)
    {
        if (text[at] == '"')
        {
            ++at;
            return true;
        }
        if (text[at] == '\\' && at + 1 < text.size() &&
            (text[at + 1] == '"' || text[at + 1] == '\\' || text[at + 1] == ']'))
            ++at;
        value += text[at];
    }
    return false;
}

inline bool ReadElement(const std::string& text, std::size_t& at, SyslogMessage& parsed)
{
    static const std::regex kName(R"(^ ([!#-<>-\\^-~]+)=)");
    const std::string open = "[kvlog@32473";
    if (text.compare(at, open.size(), open) != 0)
        return false;
    at += open.size();
    std::smatch match;
    while (
        std::regex_search(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), match, kName))
    {
        at += static_cast<std::size_t>(match.length(0));
        if (!ReadValue(text, at, parsed.params[match[1]]))
            return false;
    }
    return at < text.size() && text[at++] == ']';
}
} // namespace detail

inline SyslogMessage ParseSyslogMessage(const std::string& text)
{
    static const std::regex kHeader(
        R"(^<(\d{1,3})>1 (\S+) (\S{1,255}) (\S{1,48}) (\S{1,128}) (\S{1,32}) )");
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
    std::size_t at = static_cast<std::size_t>(match.length(0));
    if (!detail::ReadElement(text, at, parsed) || (at < text.size() && text[at] != ' '))
        return parsed;
    parsed.message = at < text.size() ? text.substr(at + 1) : std::string();
    parsed.valid = parsed.priority < 192;
    return parsed;
}

// Date and time to the microsecond with a numeric offset, as the formatter writes them.
inline bool IsPreciseTimestamp(const std::string& text)
{
    static const std::regex kStamp(
        R"(^\d{4}-(0[1-9]|1[0-2])-(0[1-9]|[12]\d|3[01])T([01]\d|2[0-3]):[0-5]\d:[0-5]\d\.\d{6}[+-]\d{2}:[0-5]\d$)");
    return std::regex_match(text, kStamp);
}
} // namespace kvtest
