#include "OsEnvironment.h"

#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#include <vector>

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

const bool kDataFolderIsUsers = true;

namespace
{
bool IsAbsolute(const char* path)
{
    return path != nullptr && path[0] == '/';
}

// $HOME, or the home folder of the user's account when it is unset (a service, a cron job).
CString HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home))
        return CString(home);
    struct passwd entry
    {
    };
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || !IsAbsolute(found->pw_dir))
        return CString();
    return CString(found->pw_dir);
}
} // namespace

// A relative XDG base folder counts as unset, as desktop programs treat it.
CString GetDataFolderParent()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (IsAbsolute(state))
        return CString(state);
    const CString home = HomeFolder();
    return home.IsEmpty() ? home : home + "/.local/state";
}
} // namespace os
