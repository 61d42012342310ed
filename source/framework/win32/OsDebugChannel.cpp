#include "WindowsInclude.h"

#include "OsDebugChannel.h"

namespace os
{
void WriteDebugChannel(const char* text, unsigned long)
{
    ::OutputDebugStringA(text);
}
} // namespace os
