#include "OsTime.h"

#include <ctime>
#include <sys/time.h>
#include <unistd.h>

namespace
{
// The local date and time of the second last seen by this thread: the conversion through the
// time zone runs once per second and thread, the clock itself is read through the vDSO.
struct LocalSecond
{
    time_t second = -1;
    tm local{};
};
thread_local LocalSecond t_localSecond;
} // namespace

namespace os
{
void GetLocalTime(SYSTEMTIME* time)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    LocalSecond& cached = t_localSecond;
    if (cached.second != now.tv_sec)
    {
        ::localtime_r(&now.tv_sec, &cached.local);
        cached.second = now.tv_sec;
    }
    const tm& local = cached.local;
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

void GetPreciseLocalTime(PreciseLocalTime* time)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    time->year = local.tm_year + 1900;
    time->month = local.tm_mon + 1;
    time->day = local.tm_mday;
    time->hour = local.tm_hour;
    time->minute = local.tm_min;
    time->second = local.tm_sec;
    time->microsecond = now.tv_nsec / 1000;
    time->utcOffsetMinutes = static_cast<int>(local.tm_gmtoff / 60);
}

DWORD GetTickCount()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned long long milliseconds =
        static_cast<unsigned long long>(now.tv_sec) * 1000ull +
        static_cast<unsigned long long>(now.tv_nsec) / 1000000ull;
    return static_cast<DWORD>(milliseconds & 0xFFFFFFFFull);
}

void Sleep(DWORD milliseconds)
{
    timespec wait{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&wait, &wait) != 0)
    {
    }
}
} // namespace os
