#include "WindowsInclude.h"

#include "OsTime.h"

namespace os
{
void GetLocalTime(SYSTEMTIME* time)
{
    ::GetLocalTime(time);
}

namespace
{
long long FileTimeTicks(const FILETIME& time)
{
    return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                  time.dwLowDateTime);
}
} // namespace

// The precise clock exists from Windows 8 on; older systems give the coarse one.
void GetPreciseLocalTime(PreciseLocalTime* time)
{
    using PreciseClock = void(WINAPI*)(LPFILETIME);
    static const auto precise = reinterpret_cast<PreciseClock>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME utc{};
    if (precise != nullptr)
        precise(&utc);
    else
        ::GetSystemTimeAsFileTime(&utc);
    SYSTEMTIME utcParts{};
    SYSTEMTIME localParts{};
    FILETIME local{};
    if (!::FileTimeToSystemTime(&utc, &utcParts) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utcParts, &localParts) ||
        !::SystemTimeToFileTime(&localParts, &local))
    {
        localParts = utcParts;
        local = utc;
    }
    const long long ticksPerMinute = 600000000LL;
    // The local parts lose the ticks below the millisecond; the offset is whole minutes.
    const long long offsetTicks = FileTimeTicks(local) - FileTimeTicks(utc);
    time->utcOffsetMinutes = static_cast<int>(
        (offsetTicks + (offsetTicks < 0 ? -ticksPerMinute / 2 : ticksPerMinute / 2)) /
        ticksPerMinute);
    time->year = localParts.wYear;
    time->month = localParts.wMonth;
    time->day = localParts.wDay;
    time->hour = localParts.wHour;
    time->minute = localParts.wMinute;
    time->second = localParts.wSecond;
    time->microsecond = static_cast<long>((FileTimeTicks(utc) / 10) % 1000000);
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
