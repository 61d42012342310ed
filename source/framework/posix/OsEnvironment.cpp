#include "OsEnvironment.h"

#include <cstdlib>
#include <cstring>

namespace os
{
DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size)
{
    const char* value = std::getenv(name);
    if (value == nullptr)
        return 0;
    const std::size_t length = std::strlen(value);
    if (length + 1 > size)
        return static_cast<DWORD>(length + 1);
    std::memcpy(buffer, value, length + 1);
    return static_cast<DWORD>(length);
}

bool SetEnvironmentVariableA(const char* name, const char* value)
{
    return (value == nullptr ? ::unsetenv(name) : ::setenv(name, value, 1)) == 0;
}
} // namespace os
