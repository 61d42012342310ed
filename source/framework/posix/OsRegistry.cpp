#include "OsRegistry.h"

// POSIX has no registry: every call fails, so that callers take their "not registered" road.
namespace os
{
const bool kRegistryAvailable = false;

bool RegCreateKeyExA(HKEY, const char*, DWORD, HKEY*)
{
    return false;
}
bool RegOpenKeyExA(HKEY, const char*, DWORD, HKEY*)
{
    return false;
}
bool RegCloseKey(HKEY)
{
    return false;
}
bool RegQueryValueExA(HKEY, const char*, DWORD*, BYTE*, DWORD*)
{
    return false;
}
bool RegSetValueExA(HKEY, const char*, DWORD, const BYTE*, DWORD)
{
    return false;
}
bool RegDeleteValueA(HKEY, const char*)
{
    return false;
}
bool SHDeleteKeyA(HKEY, const char*)
{
    return false;
}
} // namespace os
