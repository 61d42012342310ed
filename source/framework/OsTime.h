// Clock readings.
#pragma once

#include "FrameworkTypes.h"

namespace os
{
// Local time from the system clock in the local time zone.
void GetLocalTime(SYSTEMTIME* time);
// Milliseconds of a monotonic clock, modulo 2^32.
DWORD GetTickCount();
// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
long CompareFileTime(const FILETIME* first, const FILETIME* second);
void Sleep(DWORD milliseconds);
} // namespace os
