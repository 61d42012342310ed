#include "output/syslog/CSyslogFormatter.h"

#include "OsCodePage.h"
#include "OsProcess.h"
#include "OsTime.h"
#include "Utf8Encoding.h"
#include "line/LogFormatting.h"

#include <algorithm>
#include <cstring>

namespace
{
// Longest header fields the standard allows.
const std::size_t kMaxHostNameBytes = 255;
const std::size_t kMaxAppNameBytes = 48;
const std::size_t kMaxMsgIdBytes = 32;
// The private enterprise number that names the structured-data element.
const char kElementStart[] = "[kvlog@32473";

bool IsContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Well-formed UTF-8 only: an overlong form or an encoded surrogate is no text a server must take.
bool IsUtf8(const char* text, std::size_t length)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    char32_t code = 0;
    for (std::size_t at = 0; at < length;)
    {
        const std::size_t sequence =
            bytes[at] < 0x80 ? 1 : ReadUtf8Sequence(bytes + at, length - at, code);
        if (sequence == 0)
            return false;
        at += sequence;
    }
    return true;
}

// The longest start of the UTF-8 text that fits the limit without splitting a character.
std::size_t CutLength(const char* text, std::size_t length, std::size_t limit)
{
    if (length <= limit)
        return length;
    std::size_t cut = limit;
    while (cut > 0 && IsContinuationByte(text[cut]))
        --cut;
    return cut;
}

// Appends the text in UTF-8: valid UTF-8 as it is, any other text read in the ANSI code page.
// With escape, the characters the standard reserves inside a value get a backslash.
void AppendText(std::string& out, const char* text, std::size_t limit, bool escape)
{
    if (text == nullptr)
        return;
    std::size_t length = std::strlen(text);
    CString converted;
    if (!IsUtf8(text, length))
    {
        converted = EncodeUtf8(os::AnsiToWide(text, static_cast<int>(length)));
        text = converted.GetString();
        length = static_cast<std::size_t>(converted.GetLength());
    }
    length = CutLength(text, length, limit);
    if (!escape)
    {
        out.append(text, length);
        return;
    }
    for (std::size_t at = 0; at < length;)
    {
        const std::size_t plain = std::min(std::strcspn(text + at, "\"\\]"), length - at);
        out.append(text + at, plain);
        at += plain;
        if (at < length)
        {
            out += '\\';
            out += text[at++];
        }
    }
}

// Decimal digits without the C library's formatter.
void AppendDecimal(std::string& out, unsigned long value)
{
    char digits[24];
    out.append(digits, static_cast<std::size_t>(PutDecimal(digits, value, 1) - digits));
}

// A header field: printable ASCII without blanks, "-" when empty.
void AppendHeaderToken(std::string& out, const char* text, std::size_t limit)
{
    if (text == nullptr || *text == '\0')
    {
        out += '-';
        return;
    }
    for (std::size_t at = 0; at < limit && text[at] != '\0'; ++at)
        out += text[at] >= 33 && text[at] <= 126 ? text[at] : '_';
}

void AppendParam(std::string& out, const char* name, const char* value)
{
    out += ' ';
    out += name;
    out += "=\"";
    AppendText(out, value, CSyslogFormatter::kMaxValueBytes, true);
    out += '"';
}

void AppendNumberParam(std::string& out, const char* name, unsigned long value)
{
    out += ' ';
    out += name;
    out += "=\"";
    AppendDecimal(out, value);
    out += '"';
}

// "2026-12-06T09:14:03.482113+01:00"
void AppendTimestamp(std::string& out)
{
    os::PreciseLocalTime now;
    os::GetPreciseLocalTime(&now);
    char text[kMaxTimestampLength];
    out.append(text, static_cast<std::size_t>(RenderTimestamp(text, now)));
}
} // namespace

void CSyslogFormatter::SetIdentity(const char* applicationName, const char* hostName,
                                   unsigned long facility)
{
    m_appName.clear();
    AppendHeaderToken(m_appName, applicationName, kMaxAppNameBytes);
    m_hostName.clear();
    AppendHeaderToken(m_hostName, hostName, kMaxHostNameBytes);
    m_facility = facility;
}

std::size_t CSyslogFormatter::Format(const CSyslogFields& fields, std::string& out) const
{
    out.assign(1, '<');
    AppendDecimal(out, m_facility * 8 + SeverityFromLevel(fields.level));
    out += ">1 ";
    AppendTimestamp(out);
    out += ' ';
    out += m_hostName;
    out += ' ';
    out += m_appName;
    out += ' ';
    AppendDecimal(out, os::GetCurrentProcessId());
    out += ' ';
    AppendHeaderToken(out, fields.id, kMaxMsgIdBytes);
    out += ' ';
    out += kElementStart;
    AppendParam(out, "component", fields.component);
    AppendNumberParam(out, "level", fields.levelNumber);
    AppendParam(out, "levelString", fields.levelString);
    AppendParam(out, "file", fields.file);
    AppendNumberParam(out, "line", fields.line);
    AppendParam(out, "function", fields.function);
    AppendNumberParam(out, "thread", fields.thread);
    const std::size_t elementEnd = out.size();
    out += "] ";
    const std::size_t room = kMaxMessageBytes - kNoteReserveBytes;
    AppendText(out, fields.message, room > out.size() ? room - out.size() : 0, false);
    return elementEnd;
}

unsigned CSyslogFormatter::SeverityFromLevel(unsigned long level)
{
    switch (level)
    {
    case 0x1:
        return 3;
    case 0x2:
        return 4;
    case 0x8:
        return 5;
    case 0x4:
        return 6;
    default:
        return 7;
    }
}
