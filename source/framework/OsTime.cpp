#include "OsTime.h"

namespace os
{
long CompareFileTime(const FILETIME* first, const FILETIME* second)
{
    const auto value = [](const FILETIME* time)
    { return (static_cast<unsigned long long>(time->dwHighDateTime) << 32) | time->dwLowDateTime; };
    const unsigned long long a = value(first);
    const unsigned long long b = value(second);
    return a < b ? -1 : (a > b ? 1 : 0);
}
} // namespace os
