// The platform facts from which the Windows version is described: the version record, the native
// processor architecture, the product type, the system metrics and registry values below
// HKEY_LOCAL_MACHINE; on systems without them (Linux) the distribution and kernel.
// CSystemWindowsFacts asks the system; tests supply facts of their own.
#pragma once

#include "CString.h"
#include "FrameworkTypes.h"
#include "OsSystemInfo.h"

#include <string>

class CWindowsFacts
{
public:
    virtual ~CWindowsFacts() = default;

    // The extended or the basic version record; false when it is refused.
    virtual bool GetVersionRecord(bool extended, os::OsVersionRecord& record) = 0;
    virtual WORD GetNativeArchitecture() = 0;
    // False when the system offers no product information; productType is then left alone.
    virtual bool GetProductInfo(DWORD major, DWORD minor, DWORD& productType) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    // False where the system describes itself by a Windows version record (Windows).
    virtual bool GetKernelFacts(os::KernelFacts& facts) = 0;
    // view64 asks for the 64-bit view of the registry.
    virtual bool KeyExists(const char* keyPath, bool view64) = 0;
    // The value's data as stored; false when the key or value is missing or the data needs more
    // than maxSize bytes.
    virtual bool ReadValue(const char* keyPath, bool view64, const char* name, DWORD maxSize,
                           std::string& data) = 0;
};
