#include "windowsversion/CWindowsVersionDetector.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace
{
const DWORD kPlatformWin32s = 0;
const DWORD kPlatformWindows9x = 1;
const DWORD kPlatformNt = 2;
const BYTE kWorkstation = 1;
const WORD kArchitectureIa64 = 6;
const WORD kArchitectureAmd64 = 9;
const WORD kSuiteEnterprise = 0x0002;
const WORD kSuiteDatacenter = 0x0080;
const WORD kSuitePersonal = 0x0200;
const WORD kSuiteBlade = 0x0400;
const WORD kSuiteStorageServer = 0x2000;
const int kMetricServerR2 = 89;
const DWORD kStringValueSize = 255;
const DWORD kProductTypeSize = 80;

const char* const kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kProductOptionsKey = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";
const char* const kServicePack6aKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009";

struct ProductTypeRow
{
    DWORD type;
    const char* name;
};

const ProductTypeRow kProductTypes[] = {
    {0x00, "PRODUCT_UNDEFINED"},
    {0x01, "PRODUCT_ULTIMATE"},
    {0x02, "PRODUCT_HOME_BASIC"},
    {0x03, "PRODUCT_HOME_PREMIUM"},
    {0x04, "PRODUCT_ENTERPRISE"},
    {0x05, "PRODUCT_HOME_BASIC_N"},
    {0x06, "PRODUCT_BUSINESS"},
    {0x07, "PRODUCT_STANDARD_SERVER"},
    {0x08, "PRODUCT_DATACENTER_SERVER"},
    {0x09, "PRODUCT_SMALLBUSINESS_SERVER"},
    {0x0A, "PRODUCT_ENTERPRISE_SERVER"},
    {0x0B, "PRODUCT_STARTER"},
    {0x0C, "PRODUCT_DATACENTER_SERVER_CORE"},
    {0x0D, "PRODUCT_STANDARD_SERVER_CORE"},
    {0x0E, "PRODUCT_ENTERPRISE_SERVER_CORE"},
    {0x0F, "PRODUCT_ENTERPRISE_SERVER_IA64"},
    {0x10, "PRODUCT_BUSINESS_N"},
    {0x11, "PRODUCT_WEB_SERVER"},
    {0x12, "PRODUCT_CLUSTER_SERVER"},
    {0x13, "PRODUCT_HOME_SERVER"},
    {0x14, "PRODUCT_STORAGE_EXPRESS_SERVER"},
    {0x15, "PRODUCT_STORAGE_STANDARD_SERVER"},
    {0x16, "PRODUCT_STORAGE_WORKGROUP_SERVER"},
    {0x17, "PRODUCT_STORAGE_ENTERPRISE_SERVER"},
    {0x18, "PRODUCT_SERVER_FOR_SMALLBUSINESS"},
    {0x19, "PRODUCT_SMALLBUSINESS_SERVER_PREMIUM"},
    {0x1A, "PRODUCT_HOME_PREMIUM_N"},
    {0x1B, "PRODUCT_ENTERPRISE_N"},
    {0x1C, "PRODUCT_ULTIMATE_N"},
    {0x1D, "PRODUCT_WEB_SERVER_CORE"},
    {0x1E, "PRODUCT_MEDIUMBUSINESS_SERVER_MANAGEMENT"},
    {0x1F, "PRODUCT_MEDIUMBUSINESS_SERVER_SECURITY"},
    {0x20, "PRODUCT_MEDIUMBUSINESS_SERVER_MESSAGING"},
    {0x21, "PRODUCT_SERVER_FOUNDATION"},
    {0x22, "PRODUCT_HOME_PREMIUM_SERVER"},
    {0x23, "PRODUCT_SERVER_FOR_SMALLBUSINESS_V"},
    {0x24, "PRODUCT_STANDARD_SERVER_V"},
    {0x25, "PRODUCT_DATACENTER_SERVER_V"},
    {0x26, "PRODUCT_ENTERPRISE_SERVER_V"},
    {0x27, "PRODUCT_DATACENTER_SERVER_CORE_V"},
    {0x28, "PRODUCT_STANDARD_SERVER_CORE_V"},
    {0x29, "PRODUCT_ENTERPRISE_SERVER_CORE_V"},
    {0x2A, "PRODUCT_HYPERV"},
    {0x2B, "PRODUCT_STORAGE_EXPRESS_SERVER_CORE"},
    {0x2C, "PRODUCT_STORAGE_STANDARD_SERVER_CORE"},
    {0x2D, "PRODUCT_STORAGE_WORKGROUP_SERVER_CORE"},
    {0x2E, "PRODUCT_STORAGE_ENTERPRISE_SERVER_CORE"},
    {0x2F, "PRODUCT_STARTER_N"},
    {0x30, "PRODUCT_PROFESSIONAL"},
    {0x31, "PRODUCT_PROFESSIONAL_N"},
    {0x32, "PRODUCT_SB_SOLUTION_SERVER"},
    {0x33, "PRODUCT_SERVER_FOR_SB_SOLUTIONS"},
    {0x34, "PRODUCT_STANDARD_SERVER_SOLUTIONS"},
    {0x35, "PRODUCT_STANDARD_SERVER_SOLUTIONS_CORE"},
    {0x36, "PRODUCT_SB_SOLUTION_SERVER_EM"},
    {0x37, "PRODUCT_SERVER_FOR_SB_SOLUTIONS_EM"},
    {0x38, "PRODUCT_SOLUTION_EMBEDDEDSERVER"},
    {0x39, "PRODUCT_SOLUTION_EMBEDDEDSERVER_CORE"},
    {0x3F, "PRODUCT_SMALLBUSINESS_SERVER_PREMIUM_CORE"},
    {0x3B, "PRODUCT_ESSENTIALBUSINESS_SERVER_MGMT"},
    {0x3C, "PRODUCT_ESSENTIALBUSINESS_SERVER_ADDL"},
    {0x3D, "PRODUCT_ESSENTIALBUSINESS_SERVER_MGMTSVC"},
    {0x3E, "PRODUCT_ESSENTIALBUSINESS_SERVER_ADDLSVC"},
    {0x40, "PRODUCT_CLUSTER_SERVER_V"},
    {0x41, "PRODUCT_EMBEDDED"},
    {0x42, "PRODUCT_STARTER_E"},
    {0x43, "PRODUCT_HOME_BASIC_E"},
    {0x44, "PRODUCT_HOME_PREMIUM_E"},
    {0x45, "PRODUCT_PROFESSIONAL_E"},
    {0x46, "PRODUCT_ENTERPRISE_E"},
    {0x47, "PRODUCT_ULTIMATE_E"},
    {0xABCDABCD, "PRODUCT_UNLICENSED"},
};

// The leading number of a text as the C library's atoi reads it, clamped instead of overflowing.
long LeadingNumber(const char* text)
{
    return std::strtol(text, nullptr, 10);
}

void TrimTrailingBlanks(CString& osName, CString& servicePack, CString& build)
{
    osName.TrimRight(' ');
    servicePack.TrimRight(' ');
    build.TrimRight(' ');
}

bool HasSuite(const os::OsVersionRecord& version, WORD suite)
{
    return (version.suiteMask & suite) != 0;
}

char ServicePackLetter(const os::OsVersionRecord& version)
{
    return version.servicePack.GetAt(1);
}
} // namespace

bool CWindowsVersionDetector::IsNativeSystem64Bit()
{
    const WORD architecture = m_facts.GetNativeArchitecture();
    return architecture == kArchitectureAmd64 || architecture == kArchitectureIa64 ||
           architecture == 7 || architecture == 10;
}

bool CWindowsVersionDetector::ReadDword(const char* name, bool view64, DWORD& value)
{
    std::string data;
    if (!m_facts.ReadValue(kCurrentVersionKey, view64, name, sizeof(DWORD), data))
        return false;
    BYTE bytes[sizeof(DWORD)] = {};
    std::memcpy(bytes, data.data(), std::min(data.size(), sizeof(bytes)));
    value = static_cast<DWORD>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                               (static_cast<DWORD>(bytes[3]) << 24));
    return true;
}

bool CWindowsVersionDetector::ReadString(const char* keyPath, const char* name, bool view64,
                                         DWORD maxSize, CString& value)
{
    std::string data;
    if (!m_facts.ReadValue(keyPath, view64, name, maxSize, data))
        return false;
    value = CString(data.c_str()); // the text ends at its first zero byte
    return true;
}

bool CWindowsVersionDetector::ReadCurrentVersionValues(bool is64Bit, CurrentVersionValues& values)
{
    if (!m_facts.KeyExists(kCurrentVersionKey, is64Bit))
        return false;
    bool complete = ReadDword("CurrentMajorVersionNumber", is64Bit, values.major);
    complete = ReadDword("CurrentMinorVersionNumber", is64Bit, values.minor) && complete;
    const char* const textNames[] = {"CurrentBuildNumber", "ProductName", "ReleaseId", "EditionID"};
    CString* const texts[] = {&values.build, &values.productName, &values.releaseId,
                              &values.editionId};
    for (int i = 0; i < 4; ++i)
        complete =
            ReadString(kCurrentVersionKey, textNames[i], is64Bit, kStringValueSize, *texts[i]) &&
            complete;
    ReadString(kCurrentVersionKey, "DisplayVersion", is64Bit, kStringValueSize,
               values.displayVersion);
    if (values.displayVersion.IsEmpty())
        values.displayVersion = values.releaseId;
    ApplyWindows11Name(values);
    return complete;
}

void CWindowsVersionDetector::ApplyWindows11Name(CurrentVersionValues& values)
{
    if (values.major != 10 || values.minor != 0)
        return;
    if (LeadingNumber(values.build) >= 22000)
        values.productName.Replace("Windows 10", "Windows 11");
}

CString CWindowsVersionDetector::ReleaseNameForBuild(DWORD buildNumber)
{
    if (buildNumber >= 18364)
        return ">1909";
    switch (buildNumber)
    {
    case 18363:
        return "1909";
    case 18362:
        return "1903";
    case 17741:
    case 17763:
        return "1809";
    case 17134:
        return "1803";
    case 16299:
        return "1709";
    case 15063:
        return "1703";
    case 14393:
        return "1607";
    case 10586:
        return "1511";
    default:
        return "?";
    }
}

CString CWindowsVersionDetector::ProductTypeDisplayName(const char* sdkName)
{
    CString name;
    const std::size_t length = std::strlen(sdkName);
    const std::size_t prefix = 8; // "PRODUCT_"
    if (length <= prefix)
        return " ";
    name += sdkName[prefix];
    for (std::size_t i = prefix + 1; i < length; ++i)
    {
        if (sdkName[i] != '_')
        {
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(sdkName[i])));
            continue;
        }
        if (++i < length)
        {
            name += ' ';
            name += sdkName[i];
        }
    }
    name += ' ';
    return name;
}

void CWindowsVersionDetector::AppendProductTypeName(DWORD productType, CString& text)
{
    for (const ProductTypeRow& row : kProductTypes)
        if (row.type == productType)
        {
            text += ProductTypeDisplayName(row.name);
            return;
        }
}

int CWindowsVersionDetector::GetWindowsInfo(CString& osName, CString& servicePack, CString& build,
                                            int& is64Bit)
{
    osName.Empty();
    servicePack.Empty();
    build.Empty();
    is64Bit = 0;

    os::KernelFacts kernel;
    if (m_facts.GetKernelFacts(kernel))
    {
        osName = KernelSystemName(kernel);
        build = KernelText(kernel);
        is64Bit = IsNativeSystem64Bit() ? 1 : 0;
        return 1;
    }
    os::OsVersionRecord version;
    const bool extended = m_facts.GetVersionRecord(true, version);
    if (!extended && !m_facts.GetVersionRecord(false, version))
        return 0;

    if (version.servicePackMajor != 0 || version.servicePackMinor != 0)
    {
        if (version.servicePackMinor >= 1)
            servicePack.Format("SP%u.%u ", version.servicePackMajor, version.servicePackMinor);
        else
            servicePack.Format("SP%u ", version.servicePackMajor);
    }
    if (version.buildNumber != 0)
        build.Format("Build %u", static_cast<unsigned>(version.buildNumber & 0xFFFF));
    is64Bit = IsNativeSystem64Bit() ? 1 : 0;

    CurrentVersionValues values;
    const bool registryComplete = ReadCurrentVersionValues(is64Bit != 0, values);
    const bool modernNt =
        version.majorVersion == 10 ||
        (version.majorVersion == 6 && version.minorVersion == 2 && version.buildNumber == 9200);
    if (registryComplete && version.platformId == kPlatformNt && modernNt)
    {
        osName.Format("Microsoft %s (%s) ", values.productName.GetString(),
                      values.displayVersion.GetString());
        if (build != values.build)
            build = values.build;
        TrimTrailingBlanks(osName, servicePack, build);
        return 1;
    }

    if (version.platformId == kPlatformWin32s)
        osName = "Microsoft Win32s ";
    else if (version.platformId == kPlatformWindows9x)
        DescribeWindows9x(version, osName);
    else if (version.platformId == kPlatformNt && version.majorVersion == 10)
        DescribeNt10(version, osName);
    else if (version.platformId == kPlatformNt && version.majorVersion == 6)
        DescribeNt6(version, osName);
    else if (version.platformId == kPlatformNt)
    {
        AppendNtBaseName(version, osName);
        if (extended)
            AppendExtendedEdition(version, osName);
        else if (!AppendBasicEdition(version, osName))
            return 0;
        ApplyServicePack6a(version, servicePack);
    }
    TrimTrailingBlanks(osName, servicePack, build);
    return 1;
}

void CWindowsVersionDetector::DescribeWindows9x(const os::OsVersionRecord& version, CString& osName)
{
    if (version.majorVersion != 4)
        return;
    const char letter = ServicePackLetter(version);
    if (version.minorVersion == 0)
    {
        osName = "Microsoft Windows 95 ";
        if (letter == 'C' || letter == 'B')
            osName += "OSR2 ";
    }
    else if (version.minorVersion == 10)
    {
        osName = "Microsoft Windows 98 ";
        if (letter == 'A')
            osName += "SE ";
    }
    else if (version.minorVersion == 90)
        osName = "Microsoft Windows Millennium Edition ";
}

void CWindowsVersionDetector::DescribeNt10(const os::OsVersionRecord& version, CString& osName)
{
    osName = "Microsoft ";
    if (version.minorVersion == 0)
        osName.AppendFormat("%s (%s) ", "Windows 10",
                            ReleaseNameForBuild(version.buildNumber).GetString());
}

void CWindowsVersionDetector::DescribeNt6(const os::OsVersionRecord& version, CString& osName)
{
    const bool workstation = version.productType == kWorkstation;
    osName = "Microsoft ";
    switch (version.minorVersion)
    {
    case 0:
        osName += workstation ? "Windows Vista " : "Windows Server 2008 ";
        break;
    case 1:
        osName += workstation ? "Windows 7 " : "Windows Server 2008 \"R2\" ";
        break;
    case 2:
        osName += workstation ? "Windows 8 " : "Windows Server 2012 ";
        break;
    case 3:
        osName += workstation ? "Windows 8.1 " : "Windows Server 2012 \"R2\" ";
        if (workstation && version.buildNumber == 9600)
            osName += "(Update 1) ";
        break;
    default:
        osName += "Windows ? ";
        break;
    }
    DWORD productType = 0;
    m_facts.GetProductInfo(version.majorVersion, version.minorVersion, productType);
    AppendProductTypeName(productType, osName);
}

void CWindowsVersionDetector::AppendNtBaseName(const os::OsVersionRecord& version, CString& osName)
{
    const DWORD major = version.majorVersion;
    const DWORD minor = version.minorVersion;
    if (major == 5 && minor == 2)
    {
        if (m_facts.GetSystemMetrics(kMetricServerR2) != 0)
            osName = "Microsoft Windows Server 2003 \"R2\", ";
        else if (HasSuite(version, kSuiteStorageServer))
            osName = "Windows Storage Server 2003";
        else if (version.productType == kWorkstation &&
                 m_facts.GetNativeArchitecture() == kArchitectureAmd64)
            osName = "Microsoft Windows XP Professional x64 Edition ";
        else
            osName = "Microsoft Windows Server 2003, ";
    }
    else if (major == 5 && minor == 1)
        osName = "Microsoft Windows XP ";
    else if (major == 5 && minor == 0)
        osName = "Microsoft Windows 2000 ";
    else if (major <= 4)
        osName = "Microsoft Windows NT ";
}

void CWindowsVersionDetector::AppendExtendedEdition(const os::OsVersionRecord& version,
                                                    CString& osName)
{
    if (version.productType == kWorkstation)
    {
        if (version.majorVersion == 4)
            osName += "Workstation 4.0 ";
        else if (HasSuite(version, kSuitePersonal))
            osName += "Home Edition ";
        else
            osName += "Professional ";
    }
    else if (version.productType == 2 || version.productType == 3)
        AppendServerEdition(version, osName);
}

void CWindowsVersionDetector::AppendServerEdition(const os::OsVersionRecord& version,
                                                  CString& osName)
{
    const bool datacenter = HasSuite(version, kSuiteDatacenter);
    const bool enterprise = HasSuite(version, kSuiteEnterprise);
    if (version.majorVersion == 5 && version.minorVersion == 2)
    {
        const WORD architecture = m_facts.GetNativeArchitecture();
        if (architecture == kArchitectureIa64)
        {
            if (datacenter)
                osName += "Datacenter Edition for Itanium-based Systems ";
            else if (enterprise)
                osName += "Enterprise Edition for Itanium-based Systems ";
        }
        else if (architecture == kArchitectureAmd64)
            osName += datacenter   ? "Datacenter x64 Edition "
                      : enterprise ? "Enterprise x64 Edition "
                                   : "Standard x64 Edition ";
        else if (datacenter || enterprise)
            osName += datacenter ? "Datacenter Edition " : "Enterprise Edition ";
        else
            osName += version.suiteMask == kSuiteBlade ? "Web Edition " : "Standard Edition ";
    }
    else if (version.majorVersion == 5 && version.minorVersion == 0)
        osName += datacenter ? "Datacenter Server " : enterprise ? "Advanced Server " : "Server ";
    else
        osName += enterprise ? "Server 4.0, Enterprise Edition " : "Server 4.0 ";
}

bool CWindowsVersionDetector::AppendBasicEdition(const os::OsVersionRecord& version,
                                                 CString& osName)
{
    CString productType;
    if (!ReadString(kProductOptionsKey, "ProductType", false, kProductTypeSize, productType))
        return false;
    if (productType.CompareNoCase("WINNT") == 0)
        osName += "Workstation ";
    else if (productType.CompareNoCase("LANMANNT") == 0)
        osName += "Server ";
    else if (productType.CompareNoCase("SERVERNT") == 0)
        osName += "Advanced Server ";
    osName.AppendFormat("%d.%d ", static_cast<int>(version.majorVersion),
                        static_cast<int>(version.minorVersion));
    return true;
}

void CWindowsVersionDetector::ApplyServicePack6a(const os::OsVersionRecord& version,
                                                 CString& servicePack)
{
    if (version.majorVersion != 4 || version.servicePack.CompareNoCase("Service Pack 6") != 0)
        return;
    const int build = static_cast<int>(version.buildNumber & 0xFFFF);
    if (m_facts.KeyExists(kServicePack6aKey, false))
        servicePack.Format("Service Pack 6a (Build %d) ", build);
    else
        servicePack.Format("%s (Build %d) ", version.servicePack.GetString(), build);
}

CString CWindowsVersionDetector::KernelSystemName(const os::KernelFacts& kernel)
{
    return kernel.distribution.IsEmpty() ? kernel.kernelName : kernel.distribution;
}

CString CWindowsVersionDetector::KernelText(const os::KernelFacts& kernel)
{
    return kernel.kernelName + " " + kernel.kernelRelease;
}

CString CWindowsVersionDetector::GetTargetVersionString()
{
    os::KernelFacts kernel;
    if (m_facts.GetKernelFacts(kernel))
        return KernelSystemName(kernel) + " [" + kernel.machine + "] - " + KernelText(kernel);

    CString osName;
    CString servicePack;
    CString build;
    int is64Bit = 0;
    const int found = GetWindowsInfo(osName, servicePack, build, is64Bit);
    CString text = "unknown version";
    if (found == 0)
        return text;
    text = osName;
    if (is64Bit != 0)
        text += " [x64]";
    if (!servicePack.IsEmpty())
        text += " - " + servicePack;
    if (!build.IsEmpty())
        text += " - Build: " + build;
    return text;
}
