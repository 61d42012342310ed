#include "WindowsVersion.h"

#include "KvlogTestFixture.h"
#include "OsFileSystem.h"
#include "OsSystemInfo.h"
#include "PathOperations.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#if !defined(_WIN32)
#include <sys/utsname.h>
#endif

TEST(WindowsVersionFunctionsTest, TargetAndRunningStringsDescribeTheRunningSystem)
{
    CString text, name, servicePack, build;
    EXPECT_EQ(1, GetTargetWindowsVersionString(text));
    int is64Bit = 5;
    const int found = GetWindowsInfo(name, servicePack, build, is64Bit);
    EXPECT_TRUE(is64Bit == 0 || is64Bit == 1);
#if defined(_WIN32)
    os::OsVersionRecord record;
    if (os::GetVersionRecord(true, record) || os::GetVersionRecord(false, record))
        EXPECT_EQ(0, text.Find("Microsoft")) << text;
    else
        EXPECT_STREQ("unknown version", text);
    EXPECT_EQ(text == "unknown version" ? 0 : 1, found);
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
