#include "OsLocaleTime.h"

#include <ctime>

namespace os
{
CString FormatLongLocalDateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char names[64] = {};
    char yearAndTime[64] = {};
    if (::localtime_r(&now, &local) == nullptr ||
        std::strftime(names, sizeof(names), "%A, %B", &local) == 0 ||
        std::strftime(yearAndTime, sizeof(yearAndTime), "%Y %X", &local) == 0)
        return CString();
    // The day without a leading zero, which glibc's strftime gives only through an extension.
    CString text;
    text.Format("%s %d, %s", names, local.tm_mday, yearAndTime);
    return text;
}
} // namespace os
