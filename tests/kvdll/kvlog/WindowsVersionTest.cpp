#include "WindowsVersion.h"

#include "InstallationFacts.h"
#include "OsSystemInfo.h"
#include "PathOperations.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{
// A suite installation in a temporary folder, made the process's suite root for one test.
class ScopedSuite
{
public:
    ScopedSuite()
    {
        m_dir.MakeFile("ctrl\\RVT.exe");
        EXPECT_TRUE(SetSuiteRootDir(m_dir.Path()));
    }
    ScopedSuite(const ScopedSuite&) = delete;
    ScopedSuite& operator=(const ScopedSuite&) = delete;
    ~ScopedSuite() { ResetSuiteRootCache(); }
    CString CtrlFile(const char* name) const
    {
        CString path = m_dir.Sub("ctrl");
        return AppendPath(path, name);
    }

private:
    kvtest::TempDir m_dir;
};

// The utilities program is built beside the test programs.
CString BuiltUtilitiesProgram()
{
    CString path = GetModuleDirectory();
    return AppendPath(path, "RVTUtilities.exe");
}
} // namespace

TEST(WindowsVersionFunctionsTest, TargetStringMatchesTheSystemsVersionRecord)
{
    CString text;
    EXPECT_EQ(1, GetTargetWindowsVersionString(text));
    os::OsVersionRecord record;
    if (os::GetVersionRecord(true, record) || os::GetVersionRecord(false, record))
        EXPECT_EQ(0, text.Find("Microsoft")) << text;
    else
        EXPECT_STREQ("unknown version", text);

    CString name, servicePack, build;
    int is64Bit = 5;
    const int found = GetWindowsInfo(name, servicePack, build, is64Bit);
    EXPECT_TRUE(is64Bit == 0 || is64Bit == 1);
    EXPECT_EQ(found == 0, text == "unknown version");
}

TEST(WindowsVersionFunctionsTest, RunningStringIsLeftAloneWithoutTheUtilitiesProgram)
{
    ScopedSuite suite;
    CString text = "unchanged";
    EXPECT_EQ(0, GetRunningWindowsVersionString(text));
    EXPECT_STREQ("unchanged", text);
}

TEST(WindowsVersionFunctionsTest, RunningStringIsTheUtilitiesProgramsWholeOutput)
{
    const CString built = BuiltUtilitiesProgram();
    if (!FileExists(built))
        GTEST_SKIP() << "the utilities program is not built";
    ScopedSuite suite;
    std::filesystem::copy_file(built.GetString(), suite.CtrlFile("RVTUtilities.exe").GetString());

    CString text;
    EXPECT_EQ(1, GetRunningWindowsVersionString(text));
    CString kernel = os::GetKernelDescription();
    if (!kernel.IsEmpty())
        EXPECT_STREQ(kernel, text);
    else
        EXPECT_EQ(0, text.Find("Microsoft")) << text;
    EXPECT_EQ(-1, text.Find('\n'));
}
