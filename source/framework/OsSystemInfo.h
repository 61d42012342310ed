// Facts about the operating system: its version record, processor architecture, product type and
// system metrics. POSIX has no Windows version record: there the version calls fail and
// GetKernelFacts describes the distribution and the kernel instead.
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
// A system without a Windows version record: the distribution's PRETTY_NAME from os-release
// ("" when there is none), the machine ("x86_64"), the kernel's name and release ("Linux",
// "6.1.0-18-amd64").
struct KernelFacts
{
    CString distribution;
    CString machine;
    CString kernelName;
    CString kernelRelease;
};
// False where the system describes itself by a Windows version record instead.
bool GetKernelFacts(KernelFacts& facts);
} // namespace os
