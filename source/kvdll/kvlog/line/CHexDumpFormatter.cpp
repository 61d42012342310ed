#include "line/CHexDumpFormatter.h"

#include "line/LogFormatting.h"
#include "settings/SettingRules.h"

#include <cstdint>

namespace
{
const char* const kDefaultByteFormat = "0x%02X";
// One missing cell of the default format ("0x%02X" and ", "), whatever the format in use.
const int kMissingCellLength = 6;

// Printable in the C locale, whatever locale the host program has set.
bool IsPrintable(unsigned char byte)
{
    return byte >= 0x20 && byte <= 0x7E;
}

// "%p" as Windows shows it: upper-case hex, zero-filled to the width of an address.
void AppendAddress(CString& target, const void* address)
{
    AppendHex(target, reinterpret_cast<std::uintptr_t>(address),
              static_cast<int>(sizeof(void*) * 2));
}
} // namespace

void CHexDumpFormatter::SetLayout(unsigned long bytesPerRow, const char* byteFormat,
                                  unsigned long indent)
{
    m_bytesPerRow = bytesPerRow > kMaxHexDumpBytesPerLine ? kMaxHexDumpBytesPerLine : bytesPerRow;
    // Every dump sets the layout: the format is judged only when it changes.
    if (m_requestedFormat != byteFormat || m_cells.IsEmpty())
    {
        m_requestedFormat = byteFormat;
        m_byteFormat = IsUsableByteFormat(byteFormat) ? byteFormat : kDefaultByteFormat;
        RenderCells();
    }
    const int tabs = static_cast<int>(indent > kMaxDumpIndent ? kMaxDumpIndent : indent);
    if (m_indent.GetLength() != tabs)
        m_indent = CString('\t', tabs);
}

void CHexDumpFormatter::RenderCells()
{
    // Every byte's cell is rendered once per format, so that a dump copies cells instead of
    // formatting each byte.
    m_cells.Empty();
    CString cell;
    for (int byte = 0; byte < kByteValues; ++byte)
    {
        m_cellStart[byte] = m_cells.GetLength();
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
        cell.Format(m_byteFormat, byte);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
        m_cells += cell;
    }
    m_cellStart[kByteValues] = m_cells.GetLength();
}

CString CHexDumpFormatter::FormatAddress(const void* address)
{
    CString text;
    AppendAddress(text, address);
    return text;
}

const CString& CHexDumpFormatter::Format(const void* data, unsigned long size, const char* message)
{
    m_text.Empty();
    m_column.Empty();
    if (m_cells.IsEmpty())
        RenderCells();
    if (m_bytesPerRow == 0)
        return m_text;
    const bool singleRow = size <= m_bytesPerRow && message == nullptr;
    if (message != nullptr)
    {
        m_text = message;
        m_text += "\r\n";
    }
    AppendHeading(data, size, singleRow);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    const unsigned long count = bytes == nullptr ? 0 : size;
    for (unsigned long i = 0; i < count; ++i)
        AppendByte(bytes[i], i);
    AppendTail(count);
    return m_text;
}

void CHexDumpFormatter::AppendHeading(const void* data, unsigned long size, bool singleRow)
{
    if (!singleRow)
        m_text += m_indent;
    m_text += "Dump: 0x";
    AppendAddress(m_text, data);
    m_text += '[';
    AppendSignedDecimal(m_text, static_cast<int>(size));
    if (singleRow)
    {
        m_text += "] ->\t";
        return;
    }
    m_text += "] ->\r\n";
    m_text += m_indent;
}

void CHexDumpFormatter::AppendByte(unsigned char byte, unsigned long index)
{
    if (index > 0 && index % m_bytesPerRow == 0)
    {
        m_text += '\t';
        m_text += m_column;
        m_text += "\r\n";
        m_text += m_indent;
        m_column.Empty();
    }
    m_text.Append(m_cells.GetString() + m_cellStart[byte],
                  m_cellStart[byte + 1] - m_cellStart[byte]);
    if (index % m_bytesPerRow != m_bytesPerRow - 1)
        m_text += ", ";
    m_column += IsPrintable(byte) ? static_cast<char>(byte) : '.';
}

void CHexDumpFormatter::AppendTail(unsigned long size)
{
    const unsigned long rest = size % m_bytesPerRow;
    if (rest == 0)
        m_text += '\t';
    else
        AppendRepeated(m_text, ' ', static_cast<int>((m_bytesPerRow - rest) * kMissingCellLength));
    m_text += m_column;
}
