// Clock readings.
#pragma once

#include "FrameworkTypes.h"

namespace os
{
// A local time to the microsecond, with the local zone's offset from UTC at that moment.
struct PreciseLocalTime
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    long microsecond = 0;
    int utcOffsetMinutes = 0;
};

// Local time from the system clock in the local time zone.
void GetLocalTime(SYSTEMTIME* time);
void GetPreciseLocalTime(PreciseLocalTime* time);
// Milliseconds of a monotonic clock, modulo 2^32.
DWORD GetTickCount();
// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
long CompareFileTime(const FILETIME* first, const FILETIME* second);
void Sleep(DWORD milliseconds);
} // namespace os
