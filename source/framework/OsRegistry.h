// The registry. POSIX has none: there every call fails.
#pragma once

#include "FrameworkTypes.h"

namespace os
{
bool RegCreateKeyExA(HKEY parent, const char* subKey, DWORD access, HKEY* result);
bool RegOpenKeyExA(HKEY parent, const char* subKey, DWORD access, HKEY* result);
bool RegCloseKey(HKEY key);
// data may be null to ask for the size only; size is in and out.
bool RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size);
bool RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);
bool RegDeleteValueA(HKEY key, const char* name);
// Deletes the subkey with all keys and values below it.
bool SHDeleteKeyA(HKEY key, const char* subKey);
} // namespace os

namespace os
{
// False where the platform has no registry and every call above fails.
extern const bool kRegistryAvailable;
} // namespace os
