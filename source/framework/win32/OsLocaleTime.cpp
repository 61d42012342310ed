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
    if (::localtime_s(&local, &now) != 0)
        return CString();
        // The Microsoft C library's "#" flag, which the compiler's format check does not know.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
    const std::size_t length = std::strftime(buffer, sizeof(buffer), "%#c", &local);
#pragma GCC diagnostic pop
    if (length == 0)
        return CString();
    return CString(buffer);
}
} // namespace os
