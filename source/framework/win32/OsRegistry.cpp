#include "WindowsInclude.h"

#include "OsRegistry.h"

#include <shlwapi.h>

namespace os
{
const bool kRegistryAvailable = true;

bool RegCreateKeyExA(HKEY parent, const char* subKey, DWORD access, HKEY* result)
{
    return ::RegCreateKeyExA(parent, subKey, 0, nullptr, 0, access, nullptr, result, nullptr) ==
           ERROR_SUCCESS;
}

bool RegOpenKeyExA(HKEY parent, const char* subKey, DWORD access, HKEY* result)
{
    return ::RegOpenKeyExA(parent, subKey, 0, access, result) == ERROR_SUCCESS;
}

bool RegCloseKey(HKEY key)
{
    return ::RegCloseKey(key) == ERROR_SUCCESS;
}

bool RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size)
{
    return ::RegQueryValueExA(key, name, nullptr, type, data, size) == ERROR_SUCCESS;
}

bool RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size)
{
    return ::RegSetValueExA(key, name, 0, type, data, size) == ERROR_SUCCESS;
}

bool RegDeleteValueA(HKEY key, const char* name)
{
    return ::RegDeleteValueA(key, name) == ERROR_SUCCESS;
}

bool SHDeleteKeyA(HKEY key, const char* subKey)
{
    return ::SHDeleteKeyA(key, subKey) == ERROR_SUCCESS;
}
} // namespace os
