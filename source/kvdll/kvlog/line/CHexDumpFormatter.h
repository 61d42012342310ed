// Turns a block of bytes, with an optional message, into the text of one dump line: a heading
// with address and size, rows of byte cells, and a column of the printable characters.
#pragma once

#include "CString.h"

class CHexDumpFormatter
{
public:
    // bytesPerRow 0 makes every dump an empty text; rows and indent are capped at 4096 bytes and
    // 1000 tabs. A byte format that the settings' rule refuses (IsUsableByteFormat: "%s",
    // "%d %d", a cell wider than 64 characters) is replaced by the default "0x%02X".
    void SetLayout(unsigned long bytesPerRow, const char* byteFormat, unsigned long indent);

    // A null message gives the single-row form when the bytes fit one row. A null data pointer
    // shows the heading with the size but no bytes. The result stays valid until the next call.
    const CString& Format(const void* data, unsigned long size, const char* message);

    // The address as "%p" shows it on Windows: upper-case hex, zero-filled to the width of an
    // address, without "0x".
    static CString FormatAddress(const void* address);

private:
    enum
    {
        kByteValues = 256
    };

    void RenderCells();
    void AppendHeading(const void* data, unsigned long size, bool singleRow);
    void AppendByte(unsigned char byte, unsigned long index);
    void AppendTail(unsigned long size);

    unsigned long m_bytesPerRow = 16;
    CString m_requestedFormat = "0x%02X";
    CString m_byteFormat = "0x%02X";
    CString m_indent = CString('\t', 3);
    CString m_text;
    CString m_column;
    // The cells of all byte values one after the other; cell b spans m_cellStart[b] up to
    // m_cellStart[b + 1].
    CString m_cells;
    int m_cellStart[kByteValues + 1] = {};
};
