#include "CWindowsVersionDetector.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace
{
const char* const kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kProductOptions = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

// The four bytes of a REG_DWORD, lowest first.
std::string Dword(DWORD value)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((value >> shift) & 0xFF);
    return bytes;
}

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
    void SetModernRegistry(const char* build, const char* productName, const char* display)
    {
        SetValue(kCurrentVersion, "CurrentMajorVersionNumber", Dword(10));
        SetValue(kCurrentVersion, "CurrentMinorVersionNumber", Dword(0));
        SetValue(kCurrentVersion, "CurrentBuildNumber", std::string(build) + '\0');
        SetValue(kCurrentVersion, "ProductName", productName);
        SetValue(kCurrentVersion, "ReleaseId", "2009");
        SetValue(kCurrentVersion, "EditionID", "Professional");
        SetValue(kCurrentVersion, "DisplayVersion", display);
    }
    void SetVersion(DWORD platform, DWORD major, DWORD minor, DWORD build, BYTE type = 1)
    {
        version.platformId = platform;
        version.majorVersion = major;
        version.minorVersion = minor;
        version.buildNumber = build;
        version.productType = type;
    }

    os::OsVersionRecord version;
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

struct WindowsInfo
{
    CString name, servicePack, build;
    int is64Bit = 0;
};

class WindowsVersionTest : public ::testing::Test
{
protected:
    CString Target() { return CWindowsVersionDetector(facts).GetTargetVersionString(); }
    WindowsInfo Info()
    {
        WindowsInfo info;
        CWindowsVersionDetector(facts).GetWindowsInfo(info.name, info.servicePack, info.build,
                                                      info.is64Bit);
        return info;
    }
    CString OsName() { return Info().name; }

    CFakeWindowsFacts facts;
};
} // namespace

TEST_F(WindowsVersionTest, RegistryPathDescribesWindows10And11)
{
    facts.SetVersion(2, 10, 0, 19045);
    facts.SetModernRegistry("19045", "Windows 10 Pro", "22H2");
    EXPECT_STREQ("Microsoft Windows 10 Pro (22H2) [x64] - Build: 19045", Target());
    EXPECT_TRUE(facts.lastView64);
    facts.SetModernRegistry("22631", "Windows 10 Pro", "23H2");
    EXPECT_STREQ("Microsoft Windows 11 Pro (23H2) [x64] - Build: 22631", Target());

    // Windows 8's version number is what a shimmed process sees on later systems.
    facts.SetVersion(2, 6, 2, 9200);
    facts.SetModernRegistry("19045", "Windows 10 Pro", "22H2");
    EXPECT_STREQ("Microsoft Windows 10 Pro (22H2) [x64] - Build: 19045", Target());
    facts.SetVersion(2, 6, 2, 9201);
    EXPECT_STREQ("Microsoft Windows 8 Professional [x64] - Build: Build 9201", Target());
}

TEST_F(WindowsVersionTest, Windows11NameStartsAtBuild22000)
{
    const struct
    {
        DWORD minor;
        const char* build;
        const char* name;
        const char* expected;
    } rows[] = {
        {0, "22000", "Windows 10 Enterprise", "Windows 11 Enterprise"},
        {0, "21999", "Windows 10 Enterprise", "Windows 10 Enterprise"},
        {0, " +22000abc", "Windows 10 Windows 10", "Windows 11 Windows 11"},
        {0, "22000", "Server 2022", "Server 2022"},
        {1, "22000", "Windows 10", "Windows 10"},
        {0, "no number", "Windows 10", "Windows 10"},
    };
    for (const auto& row : rows)
    {
        CWindowsVersionDetector::CurrentVersionValues values;
        values.major = 10;
        values.minor = row.minor;
        values.build = row.build;
        values.productName = row.name;
        CWindowsVersionDetector::ApplyWindows11Name(values);
        EXPECT_STREQ(row.expected, values.productName) << row.build << " " << row.name;
    }
}

TEST_F(WindowsVersionTest, IncompleteRegistryFallsBackToVersionRecord)
{
    facts.SetVersion(2, 10, 0, 19042);
    facts.SetModernRegistry("19042", "Windows 10 Pro", "");
    EXPECT_STREQ("Microsoft Windows 10 Pro (2009)", OsName());
    facts.values.erase(std::string(kCurrentVersion) + "|DisplayVersion");
    EXPECT_STREQ("Microsoft Windows 10 Pro (2009)", OsName());

    facts.SetVersion(2, 10, 0, 17763);
    facts.SetModernRegistry("17763", "Windows 10 Pro", "1809");
    facts.values.erase(std::string(kCurrentVersion) + "|EditionID");
    EXPECT_STREQ("Microsoft Windows 10 (1809)", OsName());
    facts.keys.clear();
    facts.version.buildNumber = 19041;
    EXPECT_STREQ("Microsoft Windows 10 (>1909)", OsName());
    facts.version.buildNumber = 10240;
    EXPECT_STREQ("Microsoft Windows 10 (?)", OsName());
    facts.version.minorVersion = 1;
    EXPECT_STREQ("Microsoft", OsName());

    // Oversized values count as missing.
    facts.SetVersion(2, 10, 0, 19045);
    facts.SetModernRegistry("19045", "Windows 10 Pro", "22H2");
    facts.SetValue(kCurrentVersion, "CurrentMajorVersionNumber", std::string(8, '\0'));
    EXPECT_STREQ("Microsoft Windows 10 (>1909)", OsName());
    facts.SetModernRegistry("19045", "Windows 10 Pro", "22H2");
    facts.SetValue(kCurrentVersion, "ProductName", std::string(256, 'x'));
    EXPECT_STREQ("Microsoft Windows 10 (>1909)", OsName());
}

TEST_F(WindowsVersionTest, ReleaseTable)
{
    const std::pair<DWORD, const char*> rows[] = {
        {18364, ">1909"}, {99999, ">1909"}, {18363, "1909"}, {18362, "1903"}, {17741, "1809"},
        {17763, "1809"},  {17134, "1803"},  {16299, "1709"}, {15063, "1703"}, {14393, "1607"},
        {10586, "1511"},  {10240, "?"},     {0, "?"}};
    for (const auto& row : rows)
        EXPECT_STREQ(row.second, CWindowsVersionDetector::ReleaseNameForBuild(row.first))
            << row.first;
}

TEST_F(WindowsVersionTest, ServicePackAndBuildTexts)
{
    facts.SetVersion(2, 6, 1, 7601);
    facts.version.servicePackMajor = 1;
    EXPECT_STREQ("Microsoft Windows 7 Professional [x64] - SP1 - Build: Build 7601", Target());

    facts.SetVersion(2, 6, 0, 6002);
    facts.version.servicePackMajor = 2;
    EXPECT_STREQ("SP2", Info().servicePack);
    facts.version.servicePackMajor = 1;
    facts.version.servicePackMinor = 1;
    EXPECT_STREQ("SP1.1", Info().servicePack);
    facts.version.buildNumber = 0x10000 + 6002;
    EXPECT_STREQ("Build 6002", Info().build);

    // Windows NT 4.0 names service pack 6a by its hotfix key.
    facts.SetVersion(2, 4, 0, 0x20000 + 1381, 1);
    facts.version.servicePack = "service pack 6";
    EXPECT_STREQ("service pack 6 (Build 1381)", Info().servicePack);
    facts.keys.insert("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009");
    EXPECT_STREQ("Service Pack 6a (Build 1381)", Info().servicePack);
}

TEST_F(WindowsVersionTest, OnlyX64AndItaniumCountAs64Bit)
{
    facts.SetVersion(2, 6, 1, 7601);
    const std::pair<WORD, bool> rows[] = {{9, true},  {6, true},   {7, true}, {10, true},
                                          {0, false}, {12, false}, {5, false}};
    for (const auto& row : rows)
    {
        facts.architecture = row.first;
        EXPECT_EQ(row.second, Target().Find("[x64]") >= 0) << row.first;
    }
}

TEST_F(WindowsVersionTest, Windows6NamesAndProductTypes)
{
    const struct
    {
        DWORD minor;
        DWORD build;
        BYTE type;
        const char* name;
    } rows[] = {
        {0, 6000, 1, "Microsoft Windows Vista Professional"},
        {0, 6000, 3, "Microsoft Windows Server 2008 Professional"},
        {1, 7600, 3, "Microsoft Windows Server 2008 \"R2\" Professional"},
        {2, 9200, 3, "Microsoft Windows Server 2012 Professional"},
        {3, 9600, 1, "Microsoft Windows 8.1 (Update 1) Professional"},
        {3, 9601, 1, "Microsoft Windows 8.1 Professional"},
        {3, 9600, 2, "Microsoft Windows Server 2012 \"R2\" Professional"},
        {4, 9800, 1, "Microsoft Windows ? Professional"},
    };
    for (const auto& row : rows)
    {
        facts.SetVersion(2, 6, row.minor, row.build, row.type);
        EXPECT_STREQ(row.name, OsName()) << row.minor << " " << int(row.type);
    }

    facts.SetVersion(2, 6, 1, 7601);
    const struct
    {
        bool hasInfo;
        DWORD type;
        const char* name;
    } products[] = {{true, 0x65, "Microsoft Windows 7"},
                    {true, 0, "Microsoft Windows 7 Undefined"},
                    {true, 0xABCDABCD, "Microsoft Windows 7 Unlicensed"},
                    {true, 0x3A, "Microsoft Windows 7"},
                    {false, 0x30, "Microsoft Windows 7 Undefined"}};
    for (const auto& product : products)
    {
        facts.hasProductInfo = product.hasInfo;
        facts.productType = product.type;
        EXPECT_STREQ(product.name, OsName()) << product.type;
    }

    EXPECT_STREQ("Home Basic N ",
                 CWindowsVersionDetector::ProductTypeDisplayName("PRODUCT_HOME_BASIC_N"));
    EXPECT_STREQ("Hyperv ", CWindowsVersionDetector::ProductTypeDisplayName("PRODUCT_HYPERV"));
    EXPECT_STREQ("Ab ", CWindowsVersionDetector::ProductTypeDisplayName("PRODUCT_AB_"));
    CString text = "x ";
    CWindowsVersionDetector::AppendProductTypeName(0x3F, text);
    EXPECT_STREQ("x Smallbusiness Server Premium Core ", text);
}

TEST_F(WindowsVersionTest, Windows9xAndWin32s)
{
    facts.architecture = 0;
    const struct
    {
        DWORD platform, major, minor, build;
        const char* servicePack;
        const char* name;
    } rows[] = {
        {0, 3, 10, 0, "", "Microsoft Win32s"},
        {1, 4, 0, 950, " C", "Microsoft Windows 95 OSR2"},
        {1, 4, 0, 950, " A", "Microsoft Windows 95"},
        {1, 4, 10, 2222, " A", "Microsoft Windows 98 SE"},
        {1, 4, 10, 2222, "", "Microsoft Windows 98"},
        {1, 4, 90, 3000, "", "Microsoft Windows Millennium Edition"},
    };
    for (const auto& row : rows)
    {
        facts.SetVersion(row.platform, row.major, row.minor, row.build);
        facts.version.servicePack = row.servicePack;
        EXPECT_STREQ(row.name, OsName()) << row.minor << row.servicePack;
    }
    facts.SetVersion(0, 3, 10, 0);
    EXPECT_STREQ("Microsoft Win32s", Target());
    facts.SetVersion(1, 5, 0, 3000);
    EXPECT_STREQ(" - Build: Build 3000", Target());
}

TEST_F(WindowsVersionTest, NtWorkstationsAndServers)
{
    const struct
    {
        DWORD major, minor;
        BYTE type;
        WORD suite;
        WORD architecture;
        const char* name;
    } rows[] = {
        {5, 1, 1, 0, 0, "Microsoft Windows XP Professional"},
        {5, 1, 1, 0x200, 0, "Microsoft Windows XP Home Edition"},
        {5, 0, 1, 0, 0, "Microsoft Windows 2000 Professional"},
        {4, 0, 1, 0, 0, "Microsoft Windows NT Workstation 4.0"},
        {5, 2, 1, 0, 9, "Microsoft Windows XP Professional x64 Edition Professional"},
        {5, 2, 3, 0x2000, 0, "Windows Storage Server 2003Standard Edition"},
        {5, 2, 3, 0, 0, "Microsoft Windows Server 2003, Standard Edition"},
        {5, 2, 3, 0x80, 0, "Microsoft Windows Server 2003, Datacenter Edition"},
        {5, 2, 3, 0x2, 0, "Microsoft Windows Server 2003, Enterprise Edition"},
        {5, 2, 3, 0x400, 0, "Microsoft Windows Server 2003, Web Edition"},
        {5, 2, 3, 0x402, 0, "Microsoft Windows Server 2003, Enterprise Edition"},
        {5, 2, 3, 0x80, 9, "Microsoft Windows Server 2003, Datacenter x64 Edition"},
        {5, 2, 3, 0x2, 9, "Microsoft Windows Server 2003, Enterprise x64 Edition"},
        {5, 2, 2, 0, 9, "Microsoft Windows Server 2003, Standard x64 Edition"},
        {5, 2, 3, 0x80, 6,
         "Microsoft Windows Server 2003, Datacenter Edition for Itanium-based Systems"},
        {5, 2, 3, 0x2, 6,
         "Microsoft Windows Server 2003, Enterprise Edition for Itanium-based Systems"},
        {5, 2, 3, 0, 6, "Microsoft Windows Server 2003,"},
        {5, 0, 2, 0x80, 0, "Microsoft Windows 2000 Datacenter Server"},
        {5, 0, 2, 0x2, 0, "Microsoft Windows 2000 Advanced Server"},
        {5, 0, 3, 0, 0, "Microsoft Windows 2000 Server"},
        {4, 0, 3, 0x2, 0, "Microsoft Windows NT Server 4.0, Enterprise Edition"},
        {4, 0, 2, 0, 0, "Microsoft Windows NT Server 4.0"},
        {7, 0, 1, 0, 0, "Professional"},
        {11, 0, 4, 0, 0, ""},
    };
    for (const auto& row : rows)
    {
        facts.SetVersion(2, row.major, row.minor, 1000, row.type);
        facts.version.suiteMask = row.suite;
        facts.architecture = row.architecture;
        EXPECT_STREQ(row.name, OsName()) << row.major << "." << row.minor << " " << row.suite;
    }
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

    const std::pair<const char*, const char*> rows[] = {
        {"winnt", "Microsoft Windows NT Workstation 4.0"},
        {"LANMANNT", "Microsoft Windows NT Server 4.0"},
        {"ServerNT", "Microsoft Windows NT Advanced Server 4.0"},
        {"other", "Microsoft Windows NT 4.0"}};
    for (const auto& row : rows)
    {
        facts.SetValue(kProductOptions, "ProductType", row.first);
        EXPECT_STREQ(row.second, OsName()) << row.first;
    }
    facts.SetValue(kProductOptions, "ProductType", std::string(81, 'W'));
    EXPECT_STREQ("unknown version", Target());
}

TEST_F(WindowsVersionTest, NoVersionRecordGivesUnknownVersionAndResetsOutputs)
{
    facts.extendedWorks = facts.basicWorks = false;
    CString name = "old", servicePack = "old", build = "old";
    int is64Bit = 7;
    EXPECT_EQ(0, CWindowsVersionDetector(facts).GetWindowsInfo(name, servicePack, build, is64Bit));
    EXPECT_TRUE(name.IsEmpty() && servicePack.IsEmpty() && build.IsEmpty());
    EXPECT_EQ(0, is64Bit);
    EXPECT_STREQ("unknown version", Target());
}
