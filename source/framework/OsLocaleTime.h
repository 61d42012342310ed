// The current local date and time in the long form of the C library's locale.
#pragma once

#include "CString.h"

namespace os
{
// Weekday, month name, day, year and time, as strftime's "%#c" gives them on Windows, for
// example "Tuesday, March 07, 1995 12:41:29" in the "C" locale. Where the C library has no "#"
// flag (glibc), the same fields are put together from its own conversions.
CString FormatLongLocalDateTime();
} // namespace os
