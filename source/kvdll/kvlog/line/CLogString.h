// One element of the parsed line template: a literal text, or a field that renders the value of
// its keyword for each line, optionally through a width format and a truncation width.
#pragma once

#include "controller/CLogControl.h"

#include <memory>

class CLogControl::CLogString
{
public:
    CLogString() = default;
    CLogString(const CLogString&) = delete;
    CLogString& operator=(const CLogString&) = delete;

    void SetFormat(const char* format, unsigned long width);
    // A null value renders as an empty text (through the format, so its blanks remain).
    void SetText(const char* value);
    void SetDecimal(unsigned long value);
    void SetHex(unsigned long value);
    // Shortens the text in place to the truncation width, ending it with "...".
    const CString& Truncated();

    CString& Text() { return m_text; }
    const CString& GetText() const { return m_text; }
    const CString* GetFormat() const { return m_format.get(); }
    unsigned long GetWidth() const { return m_width; }

private:
    CString m_text;
    std::unique_ptr<CString> m_format;
    unsigned long m_width = 0;
};
