// Facts about the operating system: its version record, processor architecture, product type and
// system metrics, and the start of a helper program whose output is captured. POSIX has no Windows
// version record: there the version calls fail and GetKernelDescription names the kernel instead.
#pragma once

#include "CString.h"
#include "FrameworkTypes.h"

namespace os
{
// The Windows version record; the fields after servicePack are filled by the extended record only.
struct OsVersionRecord
{
    DWORD majorVersion = 0;
    DWORD minorVersion = 0;
    DWORD buildNumber = 0;
    DWORD platformId = 0;
    CString servicePack;
    WORD servicePackMajor = 0;
    WORD servicePackMinor = 0;
    WORD suiteMask = 0;
    BYTE productType = 0;
};

// GetVersionExA with the extended or the basic record, as this process sees the system (with its
// compatibility settings). False when refused, and always on POSIX.
bool GetVersionRecord(bool extended, OsVersionRecord& record);
// The extended record as the system reports it, without the process's compatibility settings.
bool GetUnshimmedVersion(OsVersionRecord& record);
// The native processor architecture (PROCESSOR_ARCHITECTURE_* values, 9 for AMD64): from
// GetNativeSystemInfo where kernel32 offers it, else from GetSystemInfo.
WORD GetNativeProcessorArchitecture();
// GetProductInfo looked up at run time; false when kernel32 does not offer it.
bool GetProductInfo(DWORD major, DWORD minor, DWORD* productType);
int GetSystemMetrics(int index);
// Kernel name, release and machine with the distribution's name, for example
// "Linux 6.1.0 x86_64 (Debian GNU/Linux 12 (bookworm))"; "" where the system has no such facts.
CString GetKernelDescription();
} // namespace os
