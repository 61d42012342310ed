#include "WindowsInclude.h"

#include "OsDebugChannel.h"

namespace os
{
void WriteDebugChannel(const char* text)
{
    ::OutputDebugStringA(text);
}
} // namespace os
