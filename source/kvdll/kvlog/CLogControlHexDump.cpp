// The dump text of a block of bytes. Until the byte rows are laid out, the dump text is the
// message alone.
#include "CLogControl.h"

void CLogControl::FormatHexDump(const void* /*data*/, unsigned long /*length*/, const char* message)
{
    m_dumpText = message;
}
