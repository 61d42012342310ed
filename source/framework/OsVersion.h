// The operating system's basic version record.
#pragma once

#include "FrameworkTypes.h"

namespace os
{
// The layout of the Win32 basic version record (148 bytes).
struct VersionRecord
{
    DWORD size;
    DWORD majorVersion;
    DWORD minorVersion;
    DWORD buildNumber;
    // 0 Win32s, 1 the Windows 9x family, 2 NT.
    DWORD platformId;
    char servicePack[128];
};
static_assert(sizeof(VersionRecord) == 148, "the Win32 layout");

// Fills the record, whose size field the caller sets to sizeof(VersionRecord). POSIX has no
// such record: there the call fails and leaves the record untouched.
bool GetVersionExA(VersionRecord* record);

// False where the platform has no version record and GetVersionExA always fails.
extern const bool kVersionRecordAvailable;
} // namespace os
