// Environment variables of the process.
#pragma once

#include "CString.h"
#include "FrameworkTypes.h"

namespace os
{
// As the Win32 call: the length copied (without the zero) when it fits, the size needed (with the
// zero) when it does not, 0 when the variable is not set.
DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size);
// A null value removes the variable.
bool SetEnvironmentVariableA(const char* name, const char* value);

// The folder below which the suite keeps its data when no installation is found. Windows: the
// all-users profile (ALLUSERSPROFILE), "" when unset. POSIX has no shared data folder that a user
// may write to, so there it is the user's state folder: $XDG_STATE_HOME when it is an absolute
// path, else ".local/state" in the home folder ("" when there is no home).
CString GetDataFolderParent();
// True where the data folder belongs to the user alone, so that the library may create it.
extern const bool kDataFolderIsUsers;
} // namespace os
