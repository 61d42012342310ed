// Environment variables of the process.
#pragma once

#include "FrameworkTypes.h"

namespace os
{
// As the Win32 call: the length copied (without the zero) when it fits, the size needed (with the
// zero) when it does not, 0 when the variable is not set.
DWORD GetEnvironmentVariableA(const char* name, char* buffer, DWORD size);
// A null value removes the variable.
bool SetEnvironmentVariableA(const char* name, const char* value);
} // namespace os
