#include "WindowsInclude.h"

#include "OsSystemInfo.h"

namespace os
{
namespace
{
template <typename Function> Function Kernel32Function(const char* name)
{
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(kernel, name)));
}

void CopyRecord(const OSVERSIONINFOEXA& info, bool extended, OsVersionRecord& record)
{
    record = OsVersionRecord();
    record.majorVersion = info.dwMajorVersion;
    record.minorVersion = info.dwMinorVersion;
    record.buildNumber = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    record.servicePack = CString(info.szCSDVersion);
    if (!extended)
        return;
    record.servicePackMajor = info.wServicePackMajor;
    record.servicePackMinor = info.wServicePackMinor;
    record.suiteMask = info.wSuiteMask;
    record.productType = info.wProductType;
}
} // namespace

bool GetVersionRecord(bool extended, OsVersionRecord& record)
{
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = extended ? sizeof(OSVERSIONINFOEXA) : sizeof(OSVERSIONINFOA);
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)))
        return false;
    CopyRecord(info, extended, record);
    return true;
}

bool GetUnshimmedVersion(OsVersionRecord& record)
{
    // ntdll's RtlGetVersion answers without the compatibility shims that GetVersionExA applies.
    typedef LONG(WINAPI * RtlGetVersionFunction)(OSVERSIONINFOEXW*);
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    RtlGetVersionFunction rtlGetVersion =
        ntdll == nullptr ? nullptr
                         : reinterpret_cast<RtlGetVersionFunction>(
                               reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOEXW wide{};
    wide.dwOSVersionInfoSize = sizeof(wide);
    if (rtlGetVersion == nullptr || rtlGetVersion(&wide) != 0)
        return GetVersionRecord(true, record);
    OSVERSIONINFOEXA info{};
    info.dwMajorVersion = wide.dwMajorVersion;
    info.dwMinorVersion = wide.dwMinorVersion;
    info.dwBuildNumber = wide.dwBuildNumber;
    info.dwPlatformId = wide.dwPlatformId;
    ::WideCharToMultiByte(CP_ACP, 0, wide.szCSDVersion, -1, info.szCSDVersion,
                          sizeof(info.szCSDVersion), nullptr, nullptr);
    info.wServicePackMajor = wide.wServicePackMajor;
    info.wServicePackMinor = wide.wServicePackMinor;
    info.wSuiteMask = wide.wSuiteMask;
    info.wProductType = wide.wProductType;
    CopyRecord(info, true, record);
    return true;
}

WORD GetNativeProcessorArchitecture()
{
    typedef void(WINAPI * NativeInfoFunction)(LPSYSTEM_INFO);
    SYSTEM_INFO info{};
    if (NativeInfoFunction native = Kernel32Function<NativeInfoFunction>("GetNativeSystemInfo"))
        native(&info);
    else
        ::GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

bool GetProductInfo(DWORD major, DWORD minor, DWORD* productType)
{
    typedef BOOL(WINAPI * ProductInfoFunction)(DWORD, DWORD, DWORD, DWORD, PDWORD);
    ProductInfoFunction productInfo = Kernel32Function<ProductInfoFunction>("GetProductInfo");
    if (productInfo == nullptr)
        return false;
    *productType = 0;
    productInfo(major, minor, 0, 0, productType);
    return true;
}

int GetSystemMetrics(int index)
{
    return ::GetSystemMetrics(index);
}

bool GetKernelFacts(KernelFacts&)
{
    return false;
}

} // namespace os
