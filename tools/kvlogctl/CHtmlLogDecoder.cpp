#include "CHtmlLogDecoder.h"

#include <cstdlib>

namespace
{
const char kTableStart[] = "<table class=\"header\">";
const char kBodyStart[] = "<pre class=\"log\">";
const char kSpanStart[] = "<span class=\"logLine\"";
const char kColourAttribute[] = " style=\"color: #";
const char kSpanEnd[] = "</span>";
const char kBodyEnd[] = "</pre>";

// Every tag removed; the end of a header cell becomes the blank between label and value.
CString StripTags(const CString& text)
{
    CString plain;
    for (int i = 0; i < text.GetLength(); ++i)
    {
        if (text[i] != '<')
        {
            plain += text[i];
            continue;
        }
        const int end = text.Find('>', i);
        if (end < 0)
            break;
        const CString tag = text.Mid(i, end - i + 1);
        if (tag == "</th>")
            plain += ' ';
        i = end;
    }
    return plain;
}

bool DecodeReference(const CString& name, CString& text)
{
    static const char* const kNamed[][2] = {
        {"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"quot", "\""}, {"apos", "'"}};
    for (const auto& named : kNamed)
        if (name == named[0])
        {
            text += named[1];
            return true;
        }
    if (name.GetLength() < 2 || name[0] != '#')
        return false;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    char* end = nullptr;
    const CString digits = name.Mid(hex ? 2 : 1);
    const unsigned long code = std::strtoul(digits, &end, hex ? 16 : 10);
    if (digits.IsEmpty() || *end != '\0' || code > 0xFF)
        return false;
    text += static_cast<char>(code);
    return true;
}
} // namespace

CString CHtmlLogDecoder::DecodeReferences(const CString& text)
{
    CString decoded;
    for (int i = 0; i < text.GetLength(); ++i)
    {
        const int end = text[i] == '&' ? text.Find(';', i) : -1;
        if (end > i && end - i <= 8 && DecodeReference(text.Mid(i + 1, end - i - 1), decoded))
            i = end;
        else
            decoded += text[i];
    }
    return decoded;
}

CString CHtmlLogDecoder::Colourize(const Line& line)
{
    if (line.colour < 0)
        return line.text;
    CString text;
    text.Format("\x1b[38;2;%ld;%ld;%ldm%s\x1b[0m", (line.colour >> 16) & 0xFF,
                (line.colour >> 8) & 0xFF, line.colour & 0xFF, line.text.GetString());
    return text;
}

void CHtmlLogDecoder::Restart()
{
    m_region = Region::kHead;
    m_spanColour = -1;
    m_inSpan = false;
}

bool CHtmlLogDecoder::Decode(const CString& physicalLine, Line& line)
{
    line = Line();
    if (!m_html)
    {
        line.text = physicalLine;
        return true;
    }
    CString text = physicalLine;
    if (m_region == Region::kHead)
    {
        // The first header row follows the table's start on the same line.
        const int table = text.Find(kTableStart);
        if (table < 0)
            return false;
        m_region = Region::kHeader;
        text = text.Mid(table + static_cast<int>(sizeof(kTableStart)) - 1);
    }
    if (m_region == Region::kHeader)
        return DecodeHeader(text, line);
    if (m_region == Region::kBody)
        return DecodeBody(text, line);
    return false;
}

bool CHtmlLogDecoder::DecodeHeader(const CString& text, Line& line)
{
    if (text.Find(kBodyStart) >= 0)
    {
        m_region = Region::kBody;
        return false;
    }
    line.text = DecodeReferences(StripTags(text));
    return !line.text.Trim().IsEmpty();
}

bool CHtmlLogDecoder::DecodeBody(CString text, Line& line)
{
    if (!m_inSpan && text.Find(kBodyEnd) >= 0)
    {
        m_region = Region::kEnd;
        return false;
    }
    if (text.Find(kSpanStart) == 0)
    {
        m_inSpan = true;
        m_spanColour = -1;
        const int colour = text.Find(kColourAttribute);
        const int close = text.Find('>');
        if (colour >= 0 && colour < close)
            m_spanColour = std::strtol(
                text.Mid(colour + static_cast<int>(sizeof(kColourAttribute)) - 1, 6), nullptr, 16);
        text = text.Mid(close + 1);
    }
    line.colour = m_inSpan ? m_spanColour : -1;
    const int spanEnd = text.GetLength() - (static_cast<int>(sizeof(kSpanEnd)) - 1);
    if (m_inSpan && spanEnd >= 0 && text.Mid(spanEnd) == kSpanEnd)
    {
        m_inSpan = false;
        text = text.Left(spanEnd);
        line.text = DecodeReferences(text);
        return true;
    }
    // Inside a span the text is a message; outside it, a level row between the lines.
    line.text = DecodeReferences(m_inSpan ? text : StripTags(text));
    return m_inSpan || !line.text.IsEmpty();
}
