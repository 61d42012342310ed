#include "WindowsInclude.h"

#include "OsTime.h"

namespace os
{
void GetLocalTime(SYSTEMTIME* time)
{
    ::GetLocalTime(time);
}

DWORD GetTickCount()
{
    return ::GetTickCount();
}

void Sleep(DWORD milliseconds)
{
    ::Sleep(milliseconds);
}
} // namespace os
