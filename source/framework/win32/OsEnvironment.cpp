#include "WindowsInclude.h"

#include "OsEnvironment.h"

#include <cstdlib>
#include <string>

namespace os
{
DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size)
{
    return ::GetEnvironmentVariableA(name, buffer, size);
}

bool SetEnvironmentVariableA(const char* name, const char* value)
{
    // The C runtime keeps a copy of the environment of its own; both must agree.
    const std::string assignment = std::string(name) + "=" + (value != nullptr ? value : "");
    ::_putenv(assignment.c_str());
    return ::SetEnvironmentVariableA(name, value) != 0;
}

const bool kDataFolderIsUsers = false;

CString GetDataFolderParent()
{
    const DWORD kSize = 4096;
    std::string buffer(kSize, '\0');
    const DWORD length = ::GetEnvironmentVariableA("ALLUSERSPROFILE", &buffer[0], kSize);
    return length < kSize ? CString(buffer.c_str(), static_cast<int>(length)) : CString();
}
} // namespace os
