#include "WindowsInclude.h"

#include "OsFileVersion.h"

namespace os
{
DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle)
{
    return ::GetFileVersionInfoSizeA(path, handle);
}

bool GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data)
{
    return ::GetFileVersionInfoA(path, handle, size, data) != 0;
}

bool VerQueryValueA(void* block, const char* subBlock, void** value, unsigned* length)
{
    UINT valueLength = 0;
    const bool found = ::VerQueryValueA(block, subBlock, value, &valueLength) != 0;
    *length = found ? valueLength : 0;
    return found;
}

DWORD VerLanguageNameA(DWORD language, char* buffer, DWORD size)
{
    return ::VerLanguageNameA(language, buffer, size);
}

WORD GetUserDefaultLangID()
{
    return ::GetUserDefaultLangID();
}
} // namespace os
