#include "OsLocaleTime.h"

#include <ctime>

namespace os
{
CString FormatLongLocalDateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char buffer[128] = {};
    if (::localtime_r(&now, &local) == nullptr ||
        std::strftime(buffer, sizeof(buffer), "%A, %B %d, %Y %X", &local) == 0)
        return CString();
    return CString(buffer);
}
} // namespace os
