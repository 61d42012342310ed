#include "line/CLogString.h"

#include "line/LogFormatting.h"

#include <cstring>

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
    if (!m_format)
        m_format = std::make_unique<CString>();
    *m_format = format;
    m_width = width;
    ParseFormat(m_format->GetString());
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

void CLogControl::CLogString::Render(const char* digits, int length, char sign)
{
    const Conversion& c = m_conversion;
    const int signLength = sign != '\0' ? 1 : 0;
    const int fill = c.padWidth > length + signLength ? c.padWidth - length - signLength : 0;
    // As in printf, zeros fill numbers only, and only when they are aligned right.
    const bool zeros = c.zeroFilled && !c.leftAligned && c.kind != 's';
    m_text = c.prefix;
    if (!c.leftAligned && !zeros)
        AppendRepeated(m_text, ' ', fill);
    if (sign != '\0')
        m_text += sign;
    if (zeros)
        AppendRepeated(m_text, '0', fill);
    m_text.Append(digits, length);
    if (c.leftAligned)
        AppendRepeated(m_text, ' ', fill);
    m_text += c.suffix;
}

void CLogControl::CLogString::RenderNumber(unsigned long long magnitude, bool negative,
                                           unsigned base, bool lowerCase)
{
    char buffer[24];
    const int start =
        RenderDigits(buffer, static_cast<int>(sizeof(buffer)), magnitude, base, lowerCase);
    const char sign = negative ? '-' : (base == 10 ? m_conversion.sign : '\0');
    Render(buffer + start, static_cast<int>(sizeof(buffer)) - start, sign);
}

void CLogControl::CLogString::SetText(const char* value)
{
    const char* text = value != nullptr ? value : "";
    if (!m_format)
    {
        m_text = text;
        return;
    }
    // A text through a number format has no defined rendering; it is padded like a text.
    Render(text, static_cast<int>(std::strlen(text)), '\0');
}

void CLogControl::CLogString::SetDecimal(unsigned long value)
{
    const unsigned int number = static_cast<unsigned int>(value);
    if (!m_format)
    {
        m_text.Empty();
        AppendDecimal(m_text, value);
        return;
    }
    // A width makes the conversion signed, so large values show as negative numbers.
    const bool isSigned = m_conversion.kind == 'd' || m_conversion.kind == 'i';
    const bool negative = isSigned && static_cast<int>(number) < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(static_cast<int>(number)) : number;
    if (m_conversion.kind == 'x' || m_conversion.kind == 'X')
        RenderNumber(number, false, 16, m_conversion.kind == 'x');
    else
        RenderNumber(magnitude, negative, 10, false);
}

void CLogControl::CLogString::SetHex(unsigned long value)
{
    const unsigned int number = static_cast<unsigned int>(value);
    if (!m_format)
    {
        m_text = "0x";
        AppendHex(m_text, value);
        return;
    }
    if (m_conversion.kind == 'X' || m_conversion.kind == 'x')
        RenderNumber(number, false, 16, m_conversion.kind == 'x');
    else
        SetDecimal(value);
}

const CString& CLogControl::CLogString::Truncated()
{
    static const char kEllipsis[] = "...";
    const int ellipsisLength = static_cast<int>(sizeof(kEllipsis)) - 1;
    if (m_width == 0 || static_cast<unsigned long>(m_text.GetLength()) <= m_width)
        return m_text;
    const int kept = m_width > static_cast<unsigned long>(ellipsisLength)
                         ? static_cast<int>(m_width) - ellipsisLength
                         : 0;
    m_text.Delete(kept, m_text.GetLength() - kept);
    m_text += kEllipsis;
    return m_text;
}
