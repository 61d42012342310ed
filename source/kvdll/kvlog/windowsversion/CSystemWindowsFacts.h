// The facts of the running system. The unshimmed kind reports the version without this process's
// compatibility settings, as the suite's utilities program sees it.
#pragma once

#include "windowsversion/CWindowsFacts.h"

class CSystemWindowsFacts : public CWindowsFacts
{
public:
    enum VersionSource
    {
        kAsProcessSeesIt,
        kUnshimmed
    };

    explicit CSystemWindowsFacts(VersionSource source = kAsProcessSeesIt) : m_source(source) {}

    bool GetVersionRecord(bool extended, os::OsVersionRecord& record) override;
    WORD GetNativeArchitecture() override;
    bool GetProductInfo(DWORD major, DWORD minor, DWORD& productType) override;
    int GetSystemMetrics(int index) override;
    bool GetKernelFacts(os::KernelFacts& facts) override;
    bool KeyExists(const char* keyPath, bool view64) override;
    bool ReadValue(const char* keyPath, bool view64, const char* name, DWORD maxSize,
                   std::string& data) override;

private:
    VersionSource m_source;
};
