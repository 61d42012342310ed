// One element of the parsed line template: a literal text, or a field that renders the value of
// its keyword for each line, optionally through a width format and a truncation width. The
// format is taken apart once when it is set, so that rendering a line pads by hand.
#pragma once

#include "controller/CLogControl.h"

#include <memory>

class CLogControl::CLogString
{
public:
    CLogString() = default;
    CLogString(const CLogString&) = delete;
    CLogString& operator=(const CLogString&) = delete;

    // A printf-style format with one conversion ("%-14s", "0x%+8X", " %-6s"): flags "-+ 0",
    // a width, and one of s, d, i, u, x, X.
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
    // The parts of the format around its conversion.
    struct Conversion
    {
        CString prefix;
        CString suffix;
        int padWidth = 0;
        bool leftAligned = false;
        bool zeroFilled = false;
        char sign = '\0';
        char kind = 's';
    };

    void ParseFormat(const char* format);
    // Prefix, the padded digits or text, suffix.
    void Render(const char* digits, int length, char sign);
    void RenderNumber(unsigned long long magnitude, bool negative, unsigned base, bool lowerCase);

    CString m_text;
    std::unique_ptr<CString> m_format;
    Conversion m_conversion;
    unsigned long m_width = 0;
};
