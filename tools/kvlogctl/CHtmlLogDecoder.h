// Turns the physical lines of a log file into terminal text: the document head is dropped, a
// header row "<tr><th>Level:</th><td>0x0000000F</td></tr>" reads "Level: 0x0000000F", a log line
// loses its span and keeps its colour, and character references are decoded ("&lt;" is "<").
// A line inside a span that began on an earlier line (a hex dump) keeps that span's colour.
// Plain-text logs pass unchanged.
#pragma once

#include "CString.h"

class CHtmlLogDecoder
{
public:
    struct Line
    {
        CString text;
        // 0x00RRGGBB, or -1 without a colour.
        long colour = -1;
    };

    explicit CHtmlLogDecoder(bool html) : m_html(html) {}

    // One physical line without its line end; false when it shows nothing (markup only).
    bool Decode(const CString& physicalLine, Line& line);
    // The file started again from its beginning.
    void Restart();

    static CString DecodeReferences(const CString& text);
    // The line with an escape sequence of 24-bit colour around it when it has a colour.
    static CString Colourize(const Line& line);

private:
    enum class Region
    {
        kHead,
        kHeader,
        kBody,
        kEnd
    };

    bool DecodeHeader(const CString& text, Line& line);
    bool DecodeBody(CString text, Line& line);

    bool m_html;
    Region m_region = Region::kHead;
    long m_spanColour = -1;
    bool m_inSpan = false;
};
