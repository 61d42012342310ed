#include "output/CJsonLineRenderer.h"

#include "Utf8Encoding.h"
#include "line/LogFormatting.h"

#include <cstring>

namespace
{
void AppendLiteral(CLineBuffer& out, const char* text)
{
    out.Append(text, static_cast<int>(std::strlen(text)));
}

// The two-character escapes JSON has, else "\u00XX".
void AppendEscape(CLineBuffer& out, unsigned char byte)
{
    static const char kShort[] = "\"\"\\\\\bb\ff\nn\rr\tt";
    for (const char* pair = kShort; *pair != '\0'; pair += 2)
        if (*pair == static_cast<char>(byte))
        {
            const char escape[2] = {'\\', pair[1]};
            out.Append(escape, 2);
            return;
        }
    char* room = out.Extend(6);
    std::memcpy(room, "\\u00", 4);
    room[4] = "0123456789abcdef"[byte >> 4];
    room[5] = "0123456789abcdef"[byte & 0xF];
}

void AppendName(CLineBuffer& out, const char* name)
{
    out.Append(",\"", 2);
    AppendLiteral(out, name);
    out.Append("\":", 2);
}

void AppendNumber(CLineBuffer& out, const char* name, unsigned long long value)
{
    AppendName(out, name);
    char digits[24];
    out.Append(digits, static_cast<int>(PutDecimal(digits, value, 1) - digits));
}

// Copies well-formed UTF-8 and escapes what JSON does not take as it is.
void AppendEscaped(CLineBuffer& out, const unsigned char* text, std::size_t length)
{
    const unsigned char* run = text;
    const unsigned char* const end = text + length;
    for (const unsigned char* at = text; at < end;)
    {
        const unsigned char byte = *at;
        if (byte >= 0x20 && byte != '"' && byte != '\\')
        {
            char32_t code = 0;
            const std::size_t sequence =
                byte < 0x80 ? 1 : ReadUtf8Sequence(at, static_cast<std::size_t>(end - at), code);
            at += sequence;
            if (sequence != 0)
                continue;
        }
        out.Append(reinterpret_cast<const char*>(run), static_cast<int>(at - run));
        AppendEscape(out, byte);
        run = ++at;
    }
    out.Append(reinterpret_cast<const char*>(run), static_cast<int>(end - run));
}
} // namespace

void CJsonLineRenderer::Render(const CJsonLineFields& fields, CLineBuffer& out)
{
    char time[kMaxTimestampLength];
    out.Append("{\"time\":\"", 9);
    out.Append(time, RenderTimestamp(time, fields.time));
    out.Append('"');
    AppendText(out, "severity_text", fields.levelString);
    AppendNumber(out, "severity_number", SeverityNumber(fields.level));
    AppendText(out, "application", fields.application);
    AppendNumber(out, "process_id", fields.processId);
    AppendNumber(out, "thread_id", fields.thread);
    AppendText(out, "component", fields.component);
    AppendText(out, "id", fields.id);
    AppendText(out, "file", fields.file);
    AppendNumber(out, "line", fields.line);
    AppendText(out, "function", fields.function);
    AppendNumber(out, "block_depth", fields.blockDepth);
    AppendText(out, "body", fields.message);
    out.Append('}');
}

unsigned CJsonLineRenderer::SeverityNumber(unsigned long level)
{
    switch (level)
    {
    case 0x1:
        return 17;
    case 0x2:
        return 13;
    case 0x4:
        return 9;
    case 0x8:
        return 10;
    case 0x8000:
        return 5;
    default:
        return 1;
    }
}

void CJsonLineRenderer::AppendText(CLineBuffer& out, const char* name, const char* text)
{
    AppendName(out, name);
    if (text == nullptr)
    {
        out.Append("null", 4);
        return;
    }
    std::size_t length = std::strlen(text);
    const char* utf8 = os::AnsiAsUtf8(text, length, m_conversion);
    out.Append('"');
    AppendEscaped(out, reinterpret_cast<const unsigned char*>(utf8), length);
    out.Append('"');
}
