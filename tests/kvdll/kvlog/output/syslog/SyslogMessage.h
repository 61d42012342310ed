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
    // Element name -> parameter name -> value with the escapes undone.
    std::map<std::string, std::map<std::string, std::string>> data;
    std::string message;

    const std::string& Param(const std::string& name) const
    {
        static const std::string kNone;
        const auto element = data.find("kvlog@32473");
        if (element == data.end())
            return kNone;
        const auto param = element->second.find(name);
        return param == element->second.end() ? kNone : param->second;
    }
};

namespace detail
{
inline bool ReadName(const std::string& text, std::size_t& at, std::string& name)
{
    const std::size_t start = at;
    while (at < text.size() && text[at] > ' ' && text[at] < 127 && text[at] != '=' &&
           text[at] != ']' && text[at] != '"')
        ++at;
    name = text.substr(start, at - start);
    return !name.empty();
}

inline bool ReadValue(const std::string& text, std::size_t& at, std::string& value)
{
    if (at >= text.size() || text[at++] != '"')
        return false;
    for (; at < text.size(); ++at)
    {
        if (text[at] == '"')
        {
            ++at;
            return true;
        }
        if (text[at] == ']')
            return false; // must have been escaped
        if (text[at] == '\\' && at + 1 < text.size() &&
            (text[at + 1] == '"' || text[at + 1] == '\\' || text[at + 1] == ']'))
            ++at;
        value += text[at];
    }
    return false;
}

inline bool ReadElements(const std::string& text, std::size_t& at, SyslogMessage& parsed)
{
    if (at < text.size() && text[at] == '-')
    {
        ++at;
        return true;
    }
    while (at < text.size() && text[at] == '[')
    {
        std::string element;
        ++at;
        if (!ReadName(text, at, element))
            return false;
        auto& params = parsed.data[element];
        while (at < text.size() && text[at] == ' ')
        {
            std::string name;
            ++at;
            if (!ReadName(text, at, name) || at >= text.size() || text[at++] != '=' ||
                !ReadValue(text, at, params[name]))
                return false;
        }
        if (at >= text.size() || text[at++] != ']')
            return false;
    }
    return !parsed.data.empty();
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
    if (!detail::ReadElements(text, at, parsed))
        return parsed;
    if (at < text.size())
    {
        if (text[at] != ' ')
            return parsed;
        parsed.message = text.substr(at + 1);
    }
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
