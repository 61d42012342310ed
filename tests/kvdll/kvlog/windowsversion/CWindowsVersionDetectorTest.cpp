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
        type = hasProductInfo ? productType : type;
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
    os::KernelFacts kernel;
    bool hasKernel = false, extendedWorks = true, basicWorks = true, hasProductInfo = true;
    bool lastView64 = false;
    WORD architecture = 9;
    DWORD productType = 0x30;
    int serverR2 = 0;
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
    CFakeWindowsFacts facts;
    CString servicePack, build;
};
} // namespace

TEST_F(WindowsVersionTest, RegistryDescribesWindows10And11UnlessIncomplete)
{
    facts.SetVersion(2, 10, 0, 19045);
    facts.SetModernRegistry("19045", "22H2");
    EXPECT_STREQ("Microsoft Windows 10 Pro (22H2) [x64] - Build: 19045", Target());
    EXPECT_TRUE(facts.lastView64);
    // Oversized values count as missing.
    facts.SetValue(kCurrentVersion, "ProductName", std::string(256, 'x'));
    EXPECT_STREQ("Microsoft Windows 10 (>1909)", OsName());
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

    // An incomplete registry falls back to the version record.
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
    for (WORD architecture : {WORD(6), WORD(7), WORD(10), WORD(12)})
    {
        facts.architecture = architecture;
        EXPECT_EQ(architecture != 12, Target().Find("[x64]") != -1) << architecture;
    }
}

// The name from the version record alone: platform 0 is Win32s, 1 the Windows 9x family, 2 NT.
TEST_F(WindowsVersionTest, NamesOfEveryVersionRecord)
{
    const struct
    {
        DWORD platform, major, minor, build;
        BYTE type;
        WORD suite, architecture;
        const char *servicePack, *name;
    } rows[] = {
        {0, 3, 10, 0, 1, 0, 0, "", "Microsoft Win32s"},
        {1, 4, 0, 950, 1, 0, 0, " C", "Microsoft Windows 95 OSR2"},
        {1, 4, 0, 950, 1, 0, 0, " B", "Microsoft Windows 95 OSR2"},
        {1, 4, 0, 950, 1, 0, 0, " A", "Microsoft Windows 95"},
        {1, 4, 10, 950, 1, 0, 0, " A", "Microsoft Windows 98 SE"},
        {1, 4, 90, 950, 1, 0, 0, "", "Microsoft Windows Millennium Edition"},
        {2, 5, 1, 1000, 1, 0x200, 0, "", "Microsoft Windows XP Home Edition"},
        {2, 4, 0, 1000, 1, 0, 0, "", "Microsoft Windows NT Workstation 4.0"},
        {2, 5, 2, 1000, 1, 0, 9, "", "Microsoft Windows XP Professional x64 Edition Professional"},
        {2, 5, 2, 1000, 3, 0x2000, 0, "", "Windows Storage Server 2003Standard Edition"},
        {2, 5, 2, 1000, 3, 0, 0, "", "Microsoft Windows Server 2003, Standard Edition"},
        {2, 5, 2, 1000, 3, 0x400, 0, "", "Microsoft Windows Server 2003, Web Edition"},
        {2, 5, 2, 1000, 3, 0x402, 0, "", "Microsoft Windows Server 2003, Enterprise Edition"},
        {2, 5, 2, 1000, 2, 0, 9, "", "Microsoft Windows Server 2003, Standard x64 Edition"},
        {2, 5, 2, 1000, 3, 0x80, 6, "",
         "Microsoft Windows Server 2003, Datacenter Edition for Itanium-based Systems"},
        {2, 5, 2, 1000, 3, 0, 6, "", "Microsoft Windows Server 2003,"},
        {2, 5, 0, 1000, 2, 0x2, 0, "", "Microsoft Windows 2000 Advanced Server"},
        {2, 4, 0, 1000, 3, 0x2, 0, "", "Microsoft Windows NT Server 4.0, Enterprise Edition"},
        {2, 7, 0, 1000, 1, 0, 0, "", "Professional"},
        {2, 6, 1, 7600, 3, 0, 0, "", "Microsoft Windows Server 2008 \"R2\" Professional"},
        {2, 6, 3, 9600, 1, 0, 0, "", "Microsoft Windows 8.1 (Update 1) Professional"},
        {2, 6, 3, 9601, 1, 0, 0, "", "Microsoft Windows 8.1 Professional"},
        {2, 6, 4, 9800, 1, 0, 0, "", "Microsoft Windows ? Professional"},
    };
    for (const auto& row : rows)
    {
        facts.SetVersion(row.platform, row.major, row.minor, row.build, row.type);
        facts.version.suiteMask = row.suite;
        facts.version.servicePack = row.servicePack;
        facts.architecture = row.architecture;
        EXPECT_STREQ(row.name, OsName());
    }
    // Windows 6 and later name the product type; the table has gaps.
    const std::pair<DWORD, const char*> types[] = {
        {0xABCDABCD, "Microsoft Windows ? Unlicensed"},
        {0x3A, "Microsoft Windows ?"},
        {0x3F, "Microsoft Windows ? Smallbusiness Server Premium Core"}};
    for (const auto& [type, name] : types)
    {
        facts.productType = type;
        EXPECT_STREQ(name, OsName());
    }
    facts.hasProductInfo = false;
    EXPECT_STREQ("Microsoft Windows ? Undefined", OsName());

    facts.SetVersion(2, 5, 2, 3790, 3);
    facts.serverR2 = 1;
    EXPECT_STREQ("Microsoft Windows Server 2003 \"R2\", Standard Edition", OsName());
    facts.SetVersion(1, 5, 0, 3000);
    EXPECT_STREQ(" - Build: Build 3000", Target());
}

TEST_F(WindowsVersionTest, BasicRecordReadsProductOptions)
{
    facts.extendedWorks = false;
    facts.architecture = 0;
    facts.SetVersion(2, 4, 0, 1381);
    EXPECT_STREQ("unknown version", Target());

    const std::pair<std::string, const char*> rows[] = {
        {"winnt", "Microsoft Windows NT Workstation 4.0"},
        {"LANMANNT", "Microsoft Windows NT Server 4.0"},
        {"ServerNT", "Microsoft Windows NT Advanced Server 4.0"},
        {"other", "Microsoft Windows NT 4.0"}};
    for (const auto& [productType, name] : rows)
    {
        facts.SetValue(kProductOptions, "ProductType", productType);
        EXPECT_STREQ(name, OsName());
    }
    facts.SetValue(kProductOptions, "ProductType", std::string(81, 'W'));
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
    const auto info = [&]
    { return CWindowsVersionDetector(facts).GetWindowsInfo(name, servicePack, build, is64Bit); };
    EXPECT_EQ(0, info());
    EXPECT_EQ("||0", name + "|" + servicePack + "|" + build + std::to_string(is64Bit).c_str());
    EXPECT_STREQ("unknown version", Target());

    facts.hasKernel = true;
    facts.kernel = {"Debian GNU/Linux 12 (bookworm)", "x86_64", "Linux", "6.1.0-18-amd64"};
    EXPECT_STREQ("Debian GNU/Linux 12 (bookworm) [x86_64] - Linux 6.1.0-18-amd64", Target());
    EXPECT_EQ(1, info());
    EXPECT_EQ("Debian GNU/Linux 12 (bookworm)||Linux 6.1.0-18-amd641",
              name + "|" + servicePack + "|" + build + std::to_string(is64Bit).c_str());

    facts.kernel = {"", "aarch64", "Linux", "6.6.0"};
    facts.architecture = 12;
    EXPECT_STREQ("Linux [aarch64] - Linux 6.6.0", Target());
    EXPECT_EQ(1, info());
    EXPECT_EQ(0, is64Bit);
}
