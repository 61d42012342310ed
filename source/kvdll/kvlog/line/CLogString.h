// One element of the parsed line template: a literal text, or a field that renders a value for
// each line, optionally through a width format and a truncation width. The format is taken apart
// once when it is set, so that rendering pads by hand, straight into the line.
#pragma once

#include "controller/CLogControl.h"
#include "line/CLineBuffer.h"

class CLogControl::CLogString
{
public:
    CLogString() = default;
    CLogString(const CLogString&) = delete;
    CLogString& operator=(const CLogString&) = delete;

    // A printf-style format with one conversion ("%-14s", "0x%+8X", " %-6s"): flags "-+ 0",
    // a width, and one of s, d, i, u, x, X.
    void SetFormat(const char* format, unsigned long width);
    // The text of a literal element.
    CString& Text() { return m_text; }
    const CString& GetText() const { return m_text; }
    unsigned long GetWidth() const { return m_width; }

    // Each appends the element to the line: the value through the format, cut to the truncation
    // width with "...".
    void RenderLiteral(CLineBuffer& line) const;
    // A null text renders as an empty one (through the format, so its blanks remain).
    void RenderText(CLineBuffer& line, const char* text) const;
    void RenderText(CLineBuffer& line, const char* text, int length) const;
    // The message: the indent in blanks, then the ID and a blank when there is an ID, then the
    // text (null: empty).
    void RenderMessage(CLineBuffer& line, unsigned long indent, const char* id,
                       const char* text) const;
    void RenderDecimal(CLineBuffer& line, unsigned long value) const;
    // "0x" and the digits without a format.
    void RenderHex(CLineBuffer& line, unsigned long value) const;

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
    // The prefix; returns where the element starts.
    int Open(CLineBuffer& line) const;
    // Pads the text appended since valueStart, adds the suffix and cuts the element.
    void CloseText(CLineBuffer& line, int elementStart, int valueStart) const;
    // The padded digits or text, the suffix and the cut.
    void RenderPadded(CLineBuffer& line, const char* digits, int length, char sign) const;
    void RenderNumber(CLineBuffer& line, unsigned long long magnitude, bool negative, unsigned base,
                      bool lowerCase) const;
    void Cut(CLineBuffer& line, int elementStart) const;

    CString m_text;
    bool m_formatted = false;
    Conversion m_conversion;
    unsigned long m_width = 0;
};
