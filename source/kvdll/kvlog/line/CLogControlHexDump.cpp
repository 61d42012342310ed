// The dump text of a block of bytes, laid out by the controller's dump settings.
#include "controller/CLogControl.h"

void CLogControl::FormatHexDump(const void* data, unsigned long length, const char* message)
{
    m_hexDump.SetLayout(m_hexDumpBytesPerLine, m_hexDumpByteFormat, m_dumpIndent);
    m_dumpText = m_hexDump.Format(data, length, message);
}
