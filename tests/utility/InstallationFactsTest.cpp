#include "InstallationFacts.h"

#include "CULRegistry.h"
#include "OsRegistry.h"
#include "PathOperations.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using kvtest::NativePath;

namespace
{
const char kControlKey[] = "CLSID\\{6F1D2A90-3B4C-4E5D-8A7B-1C2D3E4F5A6B}\\InprocServer32";

// A scratch suite installation and an environment that points nowhere else.
class InstallationFactsTest : public ::testing::Test
{
protected:
    InstallationFactsTest()
        : m_profile("ALLUSERSPROFILE", m_dir.MakeDir("profile")),
          m_root("KORVEL_ROOT_DIR", nullptr), m_autoDetect("KORVEL_ROOT_DIR_AUTO_DETECT", nullptr)
    {
        ResetSuiteRootCache();
    }
    ~InstallationFactsTest() override { ResetSuiteRootCache(); }

    CString MakeSuite(const char* name) const
    {
        m_dir.MakeFile(CString(name) + "\\ctrl\\RVT.exe");
        return m_dir.Sub(name);
    }

    kvtest::TempDir m_dir;
    kvtest::ScopedEnvironment m_profile;
    kvtest::ScopedEnvironment m_root;
    kvtest::ScopedEnvironment m_autoDetect;
};
} // namespace

TEST_F(InstallationFactsTest, ValidatesTheRootAndItsCtrlFolder)
{
    const CString suite = MakeSuite("suite");
    EXPECT_EQ(ValidateSuiteRoot(suite + NativePath("\\")), suite);
    EXPECT_EQ(ValidateSuiteRoot(suite + NativePath("\\ctrl")), suite);
    EXPECT_EQ(ValidateSuiteRoot(m_dir.Path()), "");
    EXPECT_EQ(ValidateSuiteRoot("  \t"), "");

    // The folder name test is case-sensitive: "CTRL" holding RVT.exe does not qualify.
    m_dir.MakeFile("other\\CTRL\\RVT.exe");
    EXPECT_EQ(ValidateSuiteRoot(m_dir.Sub("other\\CTRL")), "");
}

TEST_F(InstallationFactsTest, DataFolderWhenNothingQualifies)
{
    const CString expected = m_dir.Sub("profile\\korvel");
    EXPECT_EQ(GetSuiteRootDir(), expected);
    EXPECT_EQ(GetSuiteLogDir(), expected + NativePath("\\log"));
    EXPECT_EQ(GetSuiteCtrlDir(), expected + NativePath("\\ctrl"));
}

TEST_F(InstallationFactsTest, RelativeDataFolderWithoutProfile)
{
    kvtest::ScopedEnvironment noProfile("ALLUSERSPROFILE", nullptr);
    EXPECT_EQ(GetSuiteRootDir(), "korvel");
    EXPECT_EQ(GetSuiteLogDir(), NativePath("korvel\\log"));
}

TEST_F(InstallationFactsTest, RootVariableWinsUnlessAutoDetectIsOn)
{
    const CString suite = MakeSuite("suite");
    kvtest::ScopedEnvironment root("KORVEL_ROOT_DIR", suite + NativePath("\\"));
    EXPECT_EQ(GetSuiteRootDir(), suite);

    for (const char* value : {"0", "false", "FALSE", ""})
    {
        kvtest::ScopedEnvironment off("KORVEL_ROOT_DIR_AUTO_DETECT", value);
        ResetSuiteRootCache();
        EXPECT_EQ(GetSuiteRootDir(), suite) << value;
        EXPECT_FALSE(IsAutoDetectEnabled()) << value;
    }
    for (const char* value : {"1", "true", "False"})
    {
        kvtest::ScopedEnvironment on("KORVEL_ROOT_DIR_AUTO_DETECT", value);
        ResetSuiteRootCache();
        EXPECT_EQ(GetSuiteRootDir(), m_dir.Sub("profile\\korvel")) << value;
        EXPECT_TRUE(IsAutoDetectEnabled()) << value;
    }
}

TEST_F(InstallationFactsTest, RootVariableWithoutMarkerIsIgnored)
{
    kvtest::ScopedEnvironment root("KORVEL_ROOT_DIR", m_dir.MakeDir("empty"));
    EXPECT_EQ(GetSuiteRootDir(), m_dir.Sub("profile\\korvel"));
}

TEST_F(InstallationFactsTest, TheRootIsComputedOncePerProcess)
{
    const CString first = GetSuiteRootDir();
    const CString suite = MakeSuite("later");
    kvtest::ScopedEnvironment root("KORVEL_ROOT_DIR", suite);
    EXPECT_EQ(GetSuiteRootDir(), first);

    EXPECT_FALSE(SetSuiteRootDir(m_dir.Sub("nowhere")));
    EXPECT_EQ(GetSuiteRootDir(), first);
    EXPECT_TRUE(SetSuiteRootDir(suite + NativePath("\\ctrl")));
    EXPECT_EQ(GetSuiteRootDir(), suite);
}

TEST_F(InstallationFactsTest, RegisteredControlShowsAndLocatesTheSuite)
{
    if (!os::kRegistryAvailable)
    {
        EXPECT_EQ(GetActiveXControlPath(), "");
        EXPECT_EQ(GetActiveXControlDir(), "");
        return;
    }
    const CString suite = MakeSuite("control");
    const CString controlFile = suite + NativePath("\\ctrl\\q5300.OCX");
    {
        CULRegistry registry;
        ASSERT_TRUE(registry.Open(HKEY_CLASSES_ROOT, kControlKey, KEY_ALL_ACCESS, "\\"));
        ASSERT_TRUE(registry.SetString(nullptr, controlFile));
    }
    EXPECT_EQ(GetActiveXControlPath(), controlFile);
    EXPECT_EQ(GetActiveXControlDir(), suite + NativePath("\\ctrl"));
    EXPECT_EQ(GetSuiteRootDir(), suite);

    // Another file name is still shown, but its folder is no root candidate.
    {
        CULRegistry registry;
        ASSERT_TRUE(registry.Open(HKEY_CLASSES_ROOT, kControlKey, KEY_ALL_ACCESS, "\\"));
        ASSERT_TRUE(registry.SetString(nullptr, suite + NativePath("\\ctrl\\Other.ocx")));
    }
    EXPECT_EQ(GetActiveXControlDir(), "");
    EXPECT_TRUE(CULRegistry::DeleteKey(HKEY_CLASSES_ROOT, "CLSID",
                                       "{6F1D2A90-3B4C-4E5D-8A7B-1C2D3E4F5A6B}", KEY_ALL_ACCESS,
                                       "\\"));
    EXPECT_EQ(GetActiveXControlPath(), "");
}
