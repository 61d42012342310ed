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
    ~ScopedSuite() { ResetSuiteRootCache(); }
    const kvtest::TempDir& Dir() const { return m_dir; }

private:
    kvtest::TempDir m_dir;
};
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
    EXPECT_EQ(text == "unknown version" ? 0 : 1, GetWindowsInfo(name, servicePack, build, is64Bit));
    EXPECT_TRUE(is64Bit == 0 || is64Bit == 1);
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
    // The utilities program is built beside the test programs.
    CString built = GetModuleDirectory();
    AppendPath(built, "RVTUtilities.exe");
    if (!FileExists(built))
        GTEST_SKIP() << "the utilities program is not built";
    ScopedSuite suite;
    std::filesystem::copy_file(built.GetString(),
                               suite.Dir().Sub("ctrl\\RVTUtilities.exe").GetString());

    CString text;
    EXPECT_EQ(1, GetRunningWindowsVersionString(text));
    CString kernel = os::GetKernelDescription();
    if (!kernel.IsEmpty())
        EXPECT_STREQ(kernel, text);
    else
        EXPECT_EQ(0, text.Find("Microsoft")) << text;
    EXPECT_EQ(-1, text.Find('\n'));
}
