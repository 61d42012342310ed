#include "line/CLogString.h"

#include "line/LogFormatting.h"

#include <climits>
#include <cstring>
#include <new>

namespace
{
// Appends the literal text of a format, in which "%%" stands for "%".
void AppendLiteral(CString& target, const char* begin, const char* end)
{
    for (const char* p = begin; p < end; ++p)
    {
        target += *p;
        if (p[0] == '%' && p + 1 < end && p[1] == '%')
            ++p;
    }
}

// The first "%" that is no "%%", or the end of the text.
const char* FindConversion(const char* format)
{
    for (const char* p = format; *p != '\0'; ++p)
    {
        if (*p != '%')
            continue;
        if (p[1] != '%')
            return p;
        ++p;
    }
    return format + std::strlen(format);
}
} // namespace

void CLogControl::CLogString::SetFormat(const char* format, unsigned long width)
{
    m_formatted = true;
    m_width = width;
    ParseFormat(format);
}

void CLogControl::CLogString::ParseFormat(const char* format)
{
    m_conversion = Conversion();
    const char* percent = FindConversion(format);
    AppendLiteral(m_conversion.prefix, format, percent);
    if (*percent == '\0')
        return;
    const char* p = percent + 1;
    for (; *p != '\0' && std::strchr("-+ 0#", *p) != nullptr; ++p)
    {
        if (*p == '-')
            m_conversion.leftAligned = true;
        else if (*p == '0')
            m_conversion.zeroFilled = true;
        else if (*p == '+' || (*p == ' ' && m_conversion.sign == '\0'))
            m_conversion.sign = *p;
    }
    // Template widths are capped far below this; the bound only keeps the number finite.
    for (; *p >= '0' && *p <= '9'; ++p)
        if (m_conversion.padWidth < 100000)
            m_conversion.padWidth = m_conversion.padWidth * 10 + (*p - '0');
    while (*p == 'l' || *p == 'h')
        ++p;
    if (*p != '\0' && std::strchr("diuxX", *p) != nullptr)
        m_conversion.kind = *p;
    if (*p != '\0')
        ++p;
    AppendLiteral(m_conversion.suffix, p, p + std::strlen(p));
}

int CLogControl::CLogString::Open(CLineBuffer& line) const
{
    const int elementStart = line.GetLength();
    line.Append(m_conversion.prefix.GetString(), m_conversion.prefix.GetLength());
    return elementStart;
}

void CLogControl::CLogString::CloseText(CLineBuffer& line, int elementStart, int valueStart) const
{
    const int length = line.GetLength() - valueStart;
    const int fill = m_conversion.padWidth > length ? m_conversion.padWidth - length : 0;
    if (m_conversion.leftAligned)
        line.AppendRepeated(' ', fill);
    else if (fill > 0)
    {
        line.Extend(fill);
        char* value = line.GetData() + valueStart;
        std::memmove(value + fill, value, static_cast<std::size_t>(length));
        std::memset(value, ' ', static_cast<std::size_t>(fill));
    }
    line.Append(m_conversion.suffix.GetString(), m_conversion.suffix.GetLength());
    Cut(line, elementStart);
}

void CLogControl::CLogString::RenderPadded(CLineBuffer& line, const char* digits, int length,
                                           char sign) const
{
    const Conversion& c = m_conversion;
    const int elementStart = Open(line);
    const int signLength = sign != '\0' ? 1 : 0;
    const int fill = c.padWidth > length + signLength ? c.padWidth - length - signLength : 0;
    // As in printf, zeros fill numbers only, and only when they are aligned right.
    const bool zeros = c.zeroFilled && !c.leftAligned && c.kind != 's';
    if (!c.leftAligned && !zeros)
        line.AppendRepeated(' ', fill);
    if (sign != '\0')
        line.Append(sign);
    if (zeros)
        line.AppendRepeated('0', fill);
    line.Append(digits, length);
    if (c.leftAligned)
        line.AppendRepeated(' ', fill);
    line.Append(c.suffix.GetString(), c.suffix.GetLength());
    Cut(line, elementStart);
}

void CLogControl::CLogString::Cut(CLineBuffer& line, int elementStart) const
{
    static const char kEllipsis[] = "...";
    const int ellipsisLength = static_cast<int>(sizeof(kEllipsis)) - 1;
    const int length = line.GetLength() - elementStart;
    if (m_width == 0 || static_cast<unsigned long>(length) <= m_width)
        return;
    const int kept = m_width > static_cast<unsigned long>(ellipsisLength)
                         ? static_cast<int>(m_width) - ellipsisLength
                         : 0;
    line.Truncate(elementStart + kept);
    line.Append(kEllipsis, ellipsisLength);
}

void CLogControl::CLogString::RenderNumber(CLineBuffer& line, unsigned long long magnitude,
                                           bool negative, unsigned base, bool lowerCase) const
{
    char buffer[24];
    const int start =
        RenderDigits(buffer, static_cast<int>(sizeof(buffer)), magnitude, base, lowerCase);
    const char sign = negative ? '-' : (base == 10 ? m_conversion.sign : '\0');
    RenderPadded(line, buffer + start, static_cast<int>(sizeof(buffer)) - start, sign);
}

void CLogControl::CLogString::RenderLiteral(CLineBuffer& line) const
{
    line.Append(m_text.GetString(), m_text.GetLength());
}

void CLogControl::CLogString::RenderText(CLineBuffer& line, const char* text) const
{
    RenderText(line, text, text != nullptr ? static_cast<int>(std::strlen(text)) : 0);
}

void CLogControl::CLogString::RenderText(CLineBuffer& line, const char* text, int length) const
{
    const char* value = text != nullptr ? text : "";
    if (!m_formatted)
    {
        line.Append(value, length);
        return;
    }
    const int elementStart = Open(line);
    const int valueStart = line.GetLength();
    line.Append(value, length);
    CloseText(line, elementStart, valueStart);
}

void CLogControl::CLogString::RenderMessage(CLineBuffer& line, unsigned long indent, const char* id,
                                            const char* text) const
{
    // Only a runaway nesting of blocks comes near; such a line is refused like one without memory.
    if (indent > static_cast<unsigned long>(INT_MAX / 2))
        throw std::bad_alloc();
    const int elementStart = m_formatted ? Open(line) : line.GetLength();
    const int valueStart = line.GetLength();
    line.AppendRepeated(' ', static_cast<int>(indent));
    if (id != nullptr)
    {
        line.Append(id, static_cast<int>(std::strlen(id)));
        line.Append(' ');
    }
    if (text != nullptr)
        line.Append(text, static_cast<int>(std::strlen(text)));
    if (m_formatted)
        CloseText(line, elementStart, valueStart);
}

void CLogControl::CLogString::RenderDecimal(CLineBuffer& line, unsigned long value) const
{
    const unsigned int number = static_cast<unsigned int>(value);
    if (!m_formatted)
    {
        char buffer[24];
        const int start = RenderDigits(buffer, static_cast<int>(sizeof(buffer)), value, 10, false);
        line.Append(buffer + start, static_cast<int>(sizeof(buffer)) - start);
        return;
    }
    // A width makes the conversion signed, so large values show as negative numbers.
    const bool isSigned = m_conversion.kind == 'd' || m_conversion.kind == 'i';
    const bool negative = isSigned && static_cast<int>(number) < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(static_cast<int>(number)) : number;
    if (m_conversion.kind == 'x' || m_conversion.kind == 'X')
        RenderNumber(line, number, false, 16, m_conversion.kind == 'x');
    else
        RenderNumber(line, magnitude, negative, 10, false);
}

void CLogControl::CLogString::RenderHex(CLineBuffer& line, unsigned long value) const
{
    const unsigned int number = static_cast<unsigned int>(value);
    if (!m_formatted)
    {
        char buffer[24];
        const int start = RenderDigits(buffer, static_cast<int>(sizeof(buffer)), value, 16, false);
        line.Append("0x", 2);
        line.Append(buffer + start, static_cast<int>(sizeof(buffer)) - start);
        return;
    }
    if (m_conversion.kind == 'X' || m_conversion.kind == 'x')
        RenderNumber(line, number, false, 16, m_conversion.kind == 'x');
    else
        RenderDecimal(line, value);
}
