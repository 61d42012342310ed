#include "WindowsInclude.h"

#include "OsLocaleTime.h"

#include <ctime>

namespace os
{
CString FormatLongLocalDateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char buffer[128] = {};
    if (::localtime_s(&local, &now) != 0 ||
        std::strftime(buffer, sizeof(buffer), "%#c", &local) == 0)
        return CString();
    return CString(buffer);
}
} // namespace os
