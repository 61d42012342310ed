// Describes the Windows version from the facts of a CWindowsFacts: the name, service pack and
// build, and the one-line target string that heads every log file. A system without a Windows
// version record (Linux) is described by its distribution, machine and kernel instead:
// "Debian GNU/Linux 12 (bookworm) [x86_64] - Linux 6.1.0-18-amd64".
#pragma once

#include "CString.h"
#include "windowsversion/CWindowsFacts.h"

class CWindowsVersionDetector
{
public:
    // The values below "SOFTWARE\Microsoft\Windows NT\CurrentVersion".
    struct CurrentVersionValues
    {
        DWORD major = 0;
        DWORD minor = 0;
        CString build;
        CString productName;
        CString releaseId;
        CString editionId;
        CString displayVersion;
    };

    explicit CWindowsVersionDetector(CWindowsFacts& facts) : m_facts(facts) {}

    // 1 when the facts were obtained, else 0; the outputs are reset first. On Linux the name is
    // the distribution's and the build the kernel's ("Linux 6.1.0-18-amd64").
    int GetWindowsInfo(CString& osName, CString& servicePack, CString& build, int& is64Bit);
    // "unknown version" when the facts cannot be obtained.
    CString GetTargetVersionString();

    bool IsNativeSystem64Bit();
    // True when every value but the display version was read; the display version falls back to
    // the release ID and the Windows 11 name is applied whenever the key could be opened.
    bool ReadCurrentVersionValues(bool is64Bit, CurrentVersionValues& values);

    static void ApplyWindows11Name(CurrentVersionValues& values);
    static CString ReleaseNameForBuild(DWORD buildNumber);
    static void AppendProductTypeName(DWORD productType, CString& text);
    static CString ProductTypeDisplayName(const char* sdkName);

private:
    static CString KernelSystemName(const os::KernelFacts& kernel);
    static CString KernelText(const os::KernelFacts& kernel);
    void DescribeWindows9x(const os::OsVersionRecord& version, CString& osName);
    void DescribeNt10(const os::OsVersionRecord& version, CString& osName);
    void DescribeNt6(const os::OsVersionRecord& version, CString& osName);
    void AppendNtBaseName(const os::OsVersionRecord& version, CString& osName);
    void AppendExtendedEdition(const os::OsVersionRecord& version, CString& osName);
    void AppendServerEdition(const os::OsVersionRecord& version, CString& osName);
    bool AppendBasicEdition(const os::OsVersionRecord& version, CString& osName);
    void ApplyServicePack6a(const os::OsVersionRecord& version, CString& servicePack);
    bool ReadDword(const char* name, bool view64, DWORD& value);
    bool ReadString(const char* keyPath, const char* name, bool view64, DWORD maxSize,
                    CString& value);

    CWindowsFacts& m_facts;
};
