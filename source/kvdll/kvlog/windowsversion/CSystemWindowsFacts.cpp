#include "windowsversion/CSystemWindowsFacts.h"

#include "OsRegistry.h"

#include <vector>

namespace
{
const DWORD kQueryValueAccess = 0x0001;
const DWORD kWow64View64Key = 0x0100;

class CScopedKey
{
public:
    CScopedKey(const char* keyPath, bool view64)
    {
        const DWORD access = kQueryValueAccess | (view64 ? kWow64View64Key : 0u);
        if (!os::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, access, &m_key))
            m_key = nullptr;
    }
    CScopedKey(const CScopedKey&) = delete;
    CScopedKey& operator=(const CScopedKey&) = delete;
    ~CScopedKey()
    {
        if (m_key != nullptr)
            os::RegCloseKey(m_key);
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};
} // namespace

bool CSystemWindowsFacts::GetVersionRecord(bool extended, os::OsVersionRecord& record)
{
    if (m_source == kUnshimmed && extended)
        return os::GetUnshimmedVersion(record);
    return os::GetVersionRecord(extended, record);
}

WORD CSystemWindowsFacts::GetNativeArchitecture()
{
    return os::GetNativeProcessorArchitecture();
}

bool CSystemWindowsFacts::GetProductInfo(DWORD major, DWORD minor, DWORD& productType)
{
    return os::GetProductInfo(major, minor, &productType);
}

int CSystemWindowsFacts::GetSystemMetrics(int index)
{
    return os::GetSystemMetrics(index);
}

bool CSystemWindowsFacts::GetKernelFacts(os::KernelFacts& facts)
{
    return os::GetKernelFacts(facts);
}

bool CSystemWindowsFacts::KeyExists(const char* keyPath, bool view64)
{
    return CScopedKey(keyPath, view64).Get() != nullptr;
}

bool CSystemWindowsFacts::ReadValue(const char* keyPath, bool view64, const char* name,
                                    DWORD maxSize, std::string& data)
{
    CScopedKey key(keyPath, view64);
    if (key.Get() == nullptr)
        return false;
    std::vector<BYTE> buffer(maxSize + 1u, 0);
    DWORD size = maxSize;
    if (!os::RegQueryValueExA(key.Get(), name, nullptr, buffer.data(), &size) || size > maxSize)
        return false;
    data.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return true;
}
