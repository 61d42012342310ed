#include "windowsversion/CWindowsVersionDetector.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace
{
const char* const kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kProductOptions = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

// Facts of a system made up by each test.
class CFakeWindowsFacts : public CWindowsFacts
{
public:
    bool GetVersionRecord(bool extended, os::OsVersionRecord& record) override
    {
        if (!(extended ? extendedWorks : basicWorks))
            return false;
        record = version;
        if (!extended)
            record.servicePackMajor = record.servicePackMinor = record.suiteMask =
                record.productType = 0;
        return true;
    }
    WORD GetNativeArchitecture() override { return architecture; }
    bool GetProductInfo(DWORD, DWORD, DWORD& type) override
    {
        if (hasProductInfo)
            type = productType;
        return hasProductInfo;
    }
    int GetSystemMetrics(int index) override { return index == 89 ? serverR2 : 0; }
    bool GetKernelFacts(os::KernelFacts& facts) override
    {
        facts = kernel;
        return hasKernel;
    }
    bool KeyExists(const char* keyPath, bool view64) override
    {
        lastView64 = view64;
        return keys.count(keyPath) != 0;
    }
    bool ReadValue(const char* keyPath, bool, const char* name, DWORD maxSize,
                   std::string& data) override
    {
        auto found = values.find(std::string(keyPath) + "|" + name);
        if (keys.count(keyPath) == 0 || found == values.end() || found->second.size() > maxSize)
            return false;
        data = found->second;
        return true;
    }

    void SetValue(const char* key, const char* name, const std::string& data)
    {
        keys.insert(key);
        values[std::string(key) + "|" + name] = data;
    }
    // The CurrentVersion values of a Windows 10 or 11 system.
    void SetModernRegistry(const char* build, const char* display)
    {
        SetValue(kCurrentVersion, "CurrentMajorVersionNumber", std::string("\n\0\0\0", 4));
        SetValue(kCurrentVersion, "CurrentMinorVersionNumber", std::string(4, '\0'));
        SetValue(kCurrentVersion, "CurrentBuildNumber", std::string(build) + '\0');
        SetValue(kCurrentVersion, "ProductName", "Windows 10 Pro");
        SetValue(kCurrentVersion, "ReleaseId", "2009");
        SetValue(kCurrentVersion, "EditionID", "Professional");
        SetValue(kCurrentVersion, "DisplayVersion", display);
    }
    void SetVersion(DWORD platform, DWORD major, DWORD minor, DWORD build, BYTE type = 1)
    {
        version = {major, minor, build, platform, "", 0, 0, 0, type};
    }

    os::OsVersionRecord version;
    bool hasKernel = false;
    os::KernelFacts kernel;
    bool extendedWorks = true;
    bool basicWorks = true;
    WORD architecture = 9;
    bool hasProductInfo = true;
    DWORD productType = 0x30;
    int serverR2 = 0;
    bool lastView64 = false;
    std::set<std::string> keys;
    std::map<std::string, std::string> values;
};

class WindowsVersionTest : public ::testing::Test
{
protected:
    CString Target() { return CWindowsVersionDetector(facts).GetTargetVersionString(); }
    // The name; the service pack and build are left in the members of those names.
    CString OsName()
    {
        CString name;
        int is64Bit = 0;
        CWindowsVersionDetector(facts).GetWindowsInfo(name, servicePack, build, is64Bit);
        return name;
    }
    // The name of an NT system of the given product type, suites and processor.
    CString NtName(DWORD major, DWORD minor, DWORD buildNumber, BYTE type, WORD suite = 0,
                   WORD architecture = 0)
    {
        facts.SetVersion(2, major, minor, buildNumber, type);
        facts.version.suiteMask = suite;
        facts.architecture = architecture;
        return OsName();
    }
    CFakeWindowsFacts facts;
    CString servicePack, build;
};
} // namespace

TEST_F(WindowsVersionTest, RegistryPathDescribesWindows10And11)
{
    facts.SetVersion(2, 10, 0, 19045);
    facts.SetModernRegistry("19045", "22H2");
    EXPECT_STREQ("Microsoft Windows 10 Pro (22H2) [x64] - Build: 19045", Target());
    EXPECT_TRUE(facts.lastView64);
    // Windows 11 keeps "Windows 10" in its product name; the build's leading number tells.
    facts.SetModernRegistry("21999", "23H2");
    EXPECT_STREQ("Microsoft Windows 10 Pro (23H2) [x64] - Build: 21999", Target());
    facts.SetModernRegistry(" +22000abc", "23H2");
    EXPECT_STREQ("Microsoft Windows 11 Pro (23H2) [x64] - Build:  +22000abc", Target());

    // Windows 8's version number is what a shimmed process sees on later systems.
    facts.SetVersion(2, 6, 2, 9200);
    facts.SetModernRegistry("22631", "23H2");
    EXPECT_STREQ("Microsoft Windows 11 Pro (23H2) [x64] - Build: 22631", Target());
    facts.SetVersion(2, 6, 2, 9201);
    EXPECT_STREQ("Microsoft Windows 8 Professional [x64] - Build: Build 9201", Target());
}

TEST_F(WindowsVersionTest, IncompleteRegistryFallsBackToVersionRecord)
{
    facts.SetVersion(2, 10, 0, 19042);
    facts.SetModernRegistry("19042", "");
    EXPECT_STREQ("Microsoft Windows 10 Pro (2009)", OsName());

    facts.values.erase(std::string(kCurrentVersion) + "|EditionID");
    EXPECT_STREQ("Microsoft Windows 10 (>1909)", OsName());
    facts.keys.clear();
    facts.version.buildNumber = 17763;
    EXPECT_STREQ("Microsoft Windows 10 (1809)", OsName());
    facts.version.minorVersion = 1;
    EXPECT_STREQ("Microsoft", OsName());

    // Oversized values count as missing.
    facts.SetVersion(2, 10, 0, 19045);
    facts.SetModernRegistry("19045", "22H2");
    facts.SetValue(kCurrentVersion, "ProductName", std::string(256, 'x'));
    EXPECT_STREQ("Microsoft Windows 10 (>1909)", OsName());

    EXPECT_STREQ(">1909", CWindowsVersionDetector::ReleaseNameForBuild(18364));
    EXPECT_STREQ("1909", CWindowsVersionDetector::ReleaseNameForBuild(18363));
    EXPECT_STREQ("1809", CWindowsVersionDetector::ReleaseNameForBuild(17741));
    EXPECT_STREQ("?", CWindowsVersionDetector::ReleaseNameForBuild(10240));
}

TEST_F(WindowsVersionTest, ServicePackBuildAndProcessorTexts)
{
    facts.SetVersion(2, 6, 1, 7601);
    facts.version.servicePackMajor = 1;
    EXPECT_STREQ("Microsoft Windows 7 Professional [x64] - SP1 - Build: Build 7601", Target());

    facts.version.servicePackMinor = 1;
    facts.version.buildNumber = 0x10000 + 6002;
    OsName();
    EXPECT_STREQ("SP1.1", servicePack);
    EXPECT_STREQ("Build 6002", build);

    // Windows NT 4.0 names service pack 6a by its hotfix key.
    facts.SetVersion(2, 4, 0, 0x20000 + 1381, 1);
    facts.version.servicePack = "service pack 6";
    OsName();
    EXPECT_STREQ("service pack 6 (Build 1381)", servicePack);
    facts.keys.insert("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009");
    OsName();
    EXPECT_STREQ("Service Pack 6a (Build 1381)", servicePack);

    // Only x64 and Itanium count as 64-bit.
    facts.SetVersion(2, 6, 1, 7601);
    for (WORD architecture : {WORD(6), WORD(7), WORD(10)})
    {
        facts.architecture = architecture;
        EXPECT_NE(-1, Target().Find("[x64]")) << architecture;
    }
    facts.architecture = 12;
    EXPECT_EQ(-1, Target().Find("[x64]"));
}

TEST_F(WindowsVersionTest, Windows6NamesAndProductTypes)
{
    EXPECT_STREQ("Microsoft Windows Server 2008 \"R2\" Professional", NtName(6, 1, 7600, 3));
    EXPECT_STREQ("Microsoft Windows 8.1 (Update 1) Professional", NtName(6, 3, 9600, 1));
    EXPECT_STREQ("Microsoft Windows 8.1 Professional", NtName(6, 3, 9601, 1));
    EXPECT_STREQ("Microsoft Windows ? Professional", NtName(6, 4, 9800, 1));

    facts.productType = 0xABCDABCD;
    EXPECT_STREQ("Microsoft Windows ? Unlicensed", OsName());
    facts.productType = 0x3A; // a gap in the table
    EXPECT_STREQ("Microsoft Windows ?", OsName());
    facts.productType = 0x3F;
    EXPECT_STREQ("Microsoft Windows ? Smallbusiness Server Premium Core", OsName());
    facts.hasProductInfo = false;
    EXPECT_STREQ("Microsoft Windows ? Undefined", OsName());
}

TEST_F(WindowsVersionTest, Windows9xAndWin32s)
{
    facts.architecture = 0;
    facts.SetVersion(0, 3, 10, 0);
    EXPECT_STREQ("Microsoft Win32s", OsName());
    const auto name9x = [this](DWORD minor, const char* letter)
    {
        facts.SetVersion(1, 4, minor, 950);
        facts.version.servicePack = letter;
        return OsName();
    };
    EXPECT_STREQ("Microsoft Windows 95 OSR2", name9x(0, " C"));
    EXPECT_STREQ("Microsoft Windows 95 OSR2", name9x(0, " B"));
    EXPECT_STREQ("Microsoft Windows 95", name9x(0, " A"));
    EXPECT_STREQ("Microsoft Windows 98 SE", name9x(10, " A"));
    EXPECT_STREQ("Microsoft Windows Millennium Edition", name9x(90, ""));
    facts.SetVersion(1, 5, 0, 3000);
    EXPECT_STREQ(" - Build: Build 3000", Target());
}

TEST_F(WindowsVersionTest, NtWorkstationsAndServers)
{
    EXPECT_STREQ("Microsoft Windows XP Home Edition", NtName(5, 1, 1000, 1, 0x200));
    EXPECT_STREQ("Microsoft Windows NT Workstation 4.0", NtName(4, 0, 1000, 1));
    EXPECT_STREQ("Microsoft Windows XP Professional x64 Edition Professional",
                 NtName(5, 2, 1000, 1, 0, 9));
    EXPECT_STREQ("Windows Storage Server 2003Standard Edition", NtName(5, 2, 1000, 3, 0x2000));
    EXPECT_STREQ("Microsoft Windows Server 2003, Standard Edition", NtName(5, 2, 1000, 3));
    EXPECT_STREQ("Microsoft Windows Server 2003, Web Edition", NtName(5, 2, 1000, 3, 0x400));
    EXPECT_STREQ("Microsoft Windows Server 2003, Enterprise Edition", NtName(5, 2, 1000, 3, 0x402));
    EXPECT_STREQ("Microsoft Windows Server 2003, Standard x64 Edition",
                 NtName(5, 2, 1000, 2, 0, 9));
    EXPECT_STREQ("Microsoft Windows Server 2003, Datacenter Edition for Itanium-based Systems",
                 NtName(5, 2, 1000, 3, 0x80, 6));
    EXPECT_STREQ("Microsoft Windows Server 2003,", NtName(5, 2, 1000, 3, 0, 6));
    EXPECT_STREQ("Microsoft Windows 2000 Advanced Server", NtName(5, 0, 1000, 2, 0x2));
    EXPECT_STREQ("Microsoft Windows NT Server 4.0, Enterprise Edition", NtName(4, 0, 1000, 3, 0x2));
    EXPECT_STREQ("Professional", NtName(7, 0, 1000, 1));
    facts.SetVersion(2, 5, 2, 3790, 3);
    facts.serverR2 = 1;
    EXPECT_STREQ("Microsoft Windows Server 2003 \"R2\", Standard Edition", OsName());
}

TEST_F(WindowsVersionTest, BasicRecordReadsProductOptions)
{
    facts.extendedWorks = false;
    facts.architecture = 0;
    facts.SetVersion(2, 4, 0, 1381);
    EXPECT_STREQ("unknown version", Target());

    const auto named = [this](const std::string& productType)
    {
        facts.SetValue(kProductOptions, "ProductType", productType);
        return OsName();
    };
    EXPECT_STREQ("Microsoft Windows NT Workstation 4.0", named("winnt"));
    EXPECT_STREQ("Microsoft Windows NT Server 4.0", named("LANMANNT"));
    EXPECT_STREQ("Microsoft Windows NT Advanced Server 4.0", named("ServerNT"));
    EXPECT_STREQ("Microsoft Windows NT 4.0", named("other"));
    named(std::string(81, 'W'));
    EXPECT_STREQ("unknown version", Target());
}

// Without a version record the outputs are reset and the version is unknown. Linux: the
// distribution's name, the machine and the kernel; the kernel's name stands in for a missing
// os-release.
TEST_F(WindowsVersionTest, NoVersionRecordGivesUnknownVersionOrTheKernelSystem)
{
    facts.extendedWorks = facts.basicWorks = false;
    CString name = servicePack = build = "old";
    int is64Bit = 7;
    EXPECT_EQ(0, CWindowsVersionDetector(facts).GetWindowsInfo(name, servicePack, build, is64Bit));
    EXPECT_TRUE(name.IsEmpty() && servicePack.IsEmpty() && build.IsEmpty());
    EXPECT_EQ(0, is64Bit);
    EXPECT_STREQ("unknown version", Target());

    facts.hasKernel = true;
    facts.kernel = {"Debian GNU/Linux 12 (bookworm)", "x86_64", "Linux", "6.1.0-18-amd64"};
    EXPECT_STREQ("Debian GNU/Linux 12 (bookworm) [x86_64] - Linux 6.1.0-18-amd64", Target());
    EXPECT_EQ(1, CWindowsVersionDetector(facts).GetWindowsInfo(name, servicePack, build, is64Bit));
    EXPECT_STREQ("Debian GNU/Linux 12 (bookworm)", name);
    EXPECT_STREQ("", servicePack);
    EXPECT_STREQ("Linux 6.1.0-18-amd64", build);
    EXPECT_EQ(1, is64Bit);

    facts.kernel = {"", "aarch64", "Linux", "6.6.0"};
    facts.architecture = 12;
    EXPECT_STREQ("Linux [aarch64] - Linux 6.6.0", Target());
    EXPECT_EQ(1, CWindowsVersionDetector(facts).GetWindowsInfo(name, servicePack, build, is64Bit));
    EXPECT_EQ(0, is64Bit);
}
