#include "line/CLogString.h"

#include "line/LogFormatting.h"

void CLogControl::CLogString::SetFormat(const char* format, unsigned long width)
{
    if (!m_format)
        m_format = std::make_unique<CString>();
    *m_format = format;
    m_width = width;
}

void CLogControl::CLogString::SetText(const char* value)
{
    if (!m_format)
        m_text = value;
    else
        FormatInto(m_text, m_format->GetString(), value != nullptr ? value : "");
}

void CLogControl::CLogString::SetDecimal(unsigned long value)
{
    // A width makes the conversion signed, so large values show as negative numbers.
    if (!m_format)
        FormatInto(m_text, "%lu", value);
    else
        FormatInto(m_text, m_format->GetString(), static_cast<int>(value));
}

void CLogControl::CLogString::SetHex(unsigned long value)
{
    if (!m_format)
        FormatInto(m_text, "0x%lX", value);
    else
        FormatInto(m_text, m_format->GetString(), static_cast<unsigned>(value));
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
