#include "windowsversion/CWindowsVersionDetector.h"

#include "KvlogTestFixture.h"
#include "OsFileSystem.h"
#include "PathOperations.h"
#include "WindowsVersion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <string>
#if !defined(_WIN32)
#include <sys/utsname.h>
#endif

namespace
{
const char* const kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Facts of a system made up by each test.
class CFakeWindowsFacts : public CWindowsFacts
{
public:
    bool GetVersionRecord(bool extended, os::OsVersionRecord& record) override
    {
        record = version;
        return extended ? extendedWorks : basicWorks;
    }
    WORD GetNativeArchitecture() override { return architecture; }
    // Product type 0 stands for a system without product information.
    bool GetProductInfo(DWORD, DWORD, DWORD& type) override { return (type = productType) != 0; }
    int GetSystemMetrics(int) override { return 0; }
    bool GetKernelFacts(os::KernelFacts& facts) override
    {
        facts = kernel.value_or(facts);
        return kernel.has_value();
    }
    bool KeyExists(const char* keyPath, bool view64) override
    {
        lastView64 = view64;
        return registry.count(keyPath) != 0;
    }
    bool ReadValue(const char* keyPath, bool, const char* name, DWORD maxSize,
                   std::string& data) override
    {
        const auto key = registry.find(keyPath);
        if (key == registry.end() || key->second.count(name) == 0)
            return false;
        data = key->second.at(name);
        return data.size() <= maxSize;
    }

    // The CurrentVersion values of a Windows 10 or 11 system.
    void SetModernRegistry(const char* build, const char* display)
    {
        registry[kCurrentVersion] = {{"CurrentMajorVersionNumber", std::string("\n\0\0\0", 4)},
                                     {"CurrentMinorVersionNumber", std::string(4, '\0')},
                                     {"CurrentBuildNumber", std::string(build) + '\0'},
                                     {"ProductName", "Windows 10 Pro"},
                                     {"ReleaseId", "2009"},
                                     {"EditionID", "Professional"},
                                     {"DisplayVersion", display}};
    }
    CString Target() { return CWindowsVersionDetector(*this).GetTargetVersionString(); }
    CString OsName()
    {
        CString name, servicePack, build;
        int is64Bit = 0;
        CWindowsVersionDetector(*this).GetWindowsInfo(name, servicePack, build, is64Bit);
        return name;
    }
    void SetVersion(DWORD platform, DWORD major, DWORD minor, DWORD build, BYTE type = 1)
    {
        version = {major, minor, build, platform, "", 0, 0, 0, type};
    }

    os::OsVersionRecord version;
    std::optional<os::KernelFacts> kernel;
    bool extendedWorks = true, basicWorks = true, lastView64 = false;
    WORD architecture = 9;
    DWORD productType = 0x30;
    std::map<std::string, std::map<std::string, std::string>> registry; // key, name, data
};

} // namespace

TEST(WindowsVersionTest, TextsFromTheRegistryTheVersionRecordOrTheKernel)
{
    CFakeWindowsFacts facts;
    facts.SetVersion(2, 10, 0, 19045);
    facts.SetModernRegistry("19045", "22H2");
    EXPECT_STREQ("Microsoft Windows 10 Pro (22H2) [x64] - Build: 19045", facts.Target());
    EXPECT_TRUE(facts.lastView64);
    // Oversized values count as missing.
    facts.registry[kCurrentVersion]["ProductName"] = std::string(256, 'x');
    EXPECT_STREQ("Microsoft Windows 10 (>1909)", facts.OsName());
    // Windows 11 keeps "Windows 10" in its product name; the build's leading number tells.
    facts.SetModernRegistry("21999", "23H2");
    EXPECT_STREQ("Microsoft Windows 10 Pro (23H2) [x64] - Build: 21999", facts.Target());
    facts.SetModernRegistry(" +22000abc", "23H2");
    EXPECT_STREQ("Microsoft Windows 11 Pro (23H2) [x64] - Build:  +22000abc", facts.Target());

    // Windows 8's version number is what a shimmed process sees on later systems.
    facts.SetVersion(2, 6, 2, 9200);
    facts.SetModernRegistry("22631", "23H2");
    EXPECT_STREQ("Microsoft Windows 11 Pro (23H2) [x64] - Build: 22631", facts.Target());
    facts.SetVersion(2, 6, 2, 9201);
    EXPECT_STREQ("Microsoft Windows 8 Professional [x64] - Build: Build 9201", facts.Target());

    // An incomplete registry falls back to the version record.
    facts.SetVersion(2, 10, 0, 19042);
    facts.SetModernRegistry("19042", "");
    EXPECT_STREQ("Microsoft Windows 10 Pro (2009)", facts.OsName());

    facts.registry[kCurrentVersion].erase("EditionID");
    EXPECT_STREQ("Microsoft Windows 10 (>1909)", facts.OsName());
    facts.registry.clear();
    facts.version.buildNumber = 17763;
    EXPECT_STREQ("Microsoft Windows 10 (1809)", facts.OsName());

    EXPECT_STREQ(">1909", CWindowsVersionDetector::ReleaseNameForBuild(18364));
    EXPECT_STREQ("1909", CWindowsVersionDetector::ReleaseNameForBuild(18363));

    facts.SetVersion(2, 6, 1, 7601);
    facts.version.servicePackMajor = 1;
    EXPECT_STREQ("Microsoft Windows 7 Professional [x64] - SP1 - Build: Build 7601",
                 facts.Target());

    // Only x64 and Itanium count as 64-bit.
    for (WORD architecture : {WORD(6), WORD(7), WORD(12), WORD(10)})
    {
        facts.architecture = architecture;
        EXPECT_EQ(architecture != 12, facts.Target().Find("[x64]") != -1) << architecture;
    }

    // The name from the version record alone, one row per way of naming: platform 1 is the Windows
    // 9x family, 2 NT; below 6 the suite and processor name the edition, from 6 on the product
    // type.
    const struct
    {
        os::OsVersionRecord record; // major, minor, build, platform, letter, suite, type
        DWORD productType;
        const char* name;
    } rows[] = {
        {{4, 0, 950, 1, " B"}, 0, "Microsoft Windows 95 OSR2"},
        {{5, 1, 1000, 2, "", 0, 0, 0x200, 1}, 0, "Microsoft Windows XP Home Edition"},
        {{5, 2, 1000, 2, "", 0, 0, 0, 3}, 0, "Microsoft Windows Server 2003, Standard Edition"},
        {{7, 0, 1000, 2, "", 0, 0, 0, 1}, 0, "Professional"},
        {{6, 0, 0, 2, "", 0, 0, 0, 1}, 0x02, "Microsoft Windows Vista Home Basic"},
        {{6, 1, 0, 2, "", 0, 0, 0, 3}, 0x3A, "Microsoft Windows Server 2008 \"R2\""},
        {{6, 3, 9600, 2, "", 0, 0, 0, 1}, 0, "Microsoft Windows 8.1 (Update 1) Undefined"},
        {{6, 4, 0, 2, "", 0, 0, 0, 1}, 0xABCDABCD, "Microsoft Windows ? Unlicensed"},
    };
    for (const auto& row : rows)
    {
        facts.version = row.record;
        facts.productType = row.productType;
        EXPECT_STREQ(row.name, facts.OsName());
    }

    // Without a version record the outputs are reset and the version is unknown. Linux: the
    // distribution's name, the machine and the kernel; the kernel's name stands in for a missing
    // os-release.
    facts.extendedWorks = facts.basicWorks = false;
    CString name = "old", servicePack = "old", build = "old";
    int is64Bit = 7;
    const auto info = [&]
    {
        const int found =
            CWindowsVersionDetector(facts).GetWindowsInfo(name, servicePack, build, is64Bit);
        return (name + "|" + servicePack + "|" + build + "|").str() + std::to_string(is64Bit) +
               std::to_string(found);
    };
    EXPECT_EQ("|||00", info());
    EXPECT_STREQ("unknown version", facts.Target());

    facts.kernel = {"Debian GNU/Linux 12 (bookworm)", "x86_64", "Linux", "6.1.0-18-amd64"};
    EXPECT_STREQ("Debian GNU/Linux 12 (bookworm) [x86_64] - Linux 6.1.0-18-amd64", facts.Target());
    EXPECT_EQ("Debian GNU/Linux 12 (bookworm)||Linux 6.1.0-18-amd64|11", info());

    facts.kernel = {"", "aarch64", "Linux", "6.6.0"};
    facts.architecture = 12;
    EXPECT_STREQ("Linux [aarch64] - Linux 6.6.0", facts.Target());
    EXPECT_EQ("Linux||Linux 6.6.0|01", info());
}

TEST(WindowsVersionFunctionsTest, TargetAndRunningStringsDescribeTheRunningSystem)
{
    CString text, name, servicePack, build;
    EXPECT_EQ(1, GetTargetWindowsVersionString(text));
    int is64Bit = 5;
    const int found = GetWindowsInfo(name, servicePack, build, is64Bit);
    EXPECT_TRUE(is64Bit == 0 || is64Bit == 1);
#if defined(_WIN32)
    os::OsVersionRecord record;
    const bool described =
        os::GetVersionRecord(true, record) || os::GetVersionRecord(false, record);
    EXPECT_EQ(described ? 0 : -1, text.Find("Microsoft")) << text;
    EXPECT_EQ(described ? 1 : 0, found);
#else
    // Checked against uname and os-release read here.
    struct utsname names
    {
    };
    ASSERT_EQ(0, ::uname(&names));
    const std::string kernel = std::string(names.sysname) + " " + names.release;
    const std::string osRelease = kvtest::ReadWholeFile("/etc/os-release");
    std::smatch pretty;
    const bool named =
        std::regex_search(osRelease, pretty, std::regex("(^|\n)PRETTY_NAME=\"(.*)\""));
    const std::string distribution = named ? pretty[2].str() : names.sysname;
    EXPECT_EQ(distribution + " [" + names.machine + "] - " + kernel, text.str());
    EXPECT_EQ(distribution + "|" + kernel + "|1",
              (name + "|" + build + "|").str() + std::to_string(found));
#endif

    // Without the utilities program the text is left alone. The program is found under its own
    // name and under its Windows name (the same file on Windows).
    const CString ownName = CString("rvtutilities") + os::kProgramSuffix;
    CString built = GetModuleDirectory(); // the utilities program is built beside the tests
    AppendPath(built, ownName);
    if (!FileExists(built))
        GTEST_SKIP() << "the utilities program is not built";
    for (const char* program : {ownName.GetString(), "RVTUtilities.exe"})
    {
        TemporarySuite suite;
        CString running = "unchanged";
        EXPECT_EQ(0, GetRunningWindowsVersionString(running));
        EXPECT_STREQ("unchanged", running);
        std::filesystem::copy_file(built.GetString(), suite.Sub(CString("ctrl\\") + program).str());
        running.Empty();
        EXPECT_EQ(1, GetRunningWindowsVersionString(running)) << program;
        EXPECT_EQ(-1, running.Find('\n'));
#if defined(_WIN32)
        EXPECT_EQ(0, running.Find("Microsoft")) << running;
#else
        // Without compatibility settings both see the same: the header shows one "Platform:" row.
        EXPECT_STREQ(text, running);
#endif
    }
}
