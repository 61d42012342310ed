#include "InstallationFacts.h"

#include "CULRegistry.h"
#include "OsDebugOutput.h"
#include "OsEnvironment.h"
#include "OsRegistry.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using kvtest::NativePath;
using kvtest::ScopedEnvironment;

namespace
{
const char kControlClass[] = "{6F1D2A90-3B4C-4E5D-8A7B-1C2D3E4F5A6B}";

// A scratch suite installation and an environment that points nowhere else.
class InstallationFactsTest : public ::testing::Test
{
protected:
    InstallationFactsTest() { ResetSuiteRootCache(); }
    ~InstallationFactsTest() override { ResetSuiteRootCache(); }

    CString MakeSuite(const char* name) const
    {
        m_dir.MakeFile(CString(name) + "\\ctrl\\RVT.exe");
        return m_dir.Sub(name);
    }
    // The root as a fresh process would find it.
    static CString FreshRoot()
    {
        ResetSuiteRootCache();
        return GetSuiteRootDir();
    }

    kvtest::TempDir m_dir;
    // The data folder's parent: the all-users profile on Windows, the state folder on POSIX.
    ScopedEnvironment m_profile{"ALLUSERSPROFILE", m_dir.MakeDir("profile")};
    ScopedEnvironment m_state{"XDG_STATE_HOME", m_dir.Sub("profile")};
    ScopedEnvironment m_root{"KORVEL_ROOT_DIR", nullptr};
    ScopedEnvironment m_autoDetect{"KORVEL_ROOT_DIR_AUTO_DETECT", nullptr};
};

void RegisterControl(const CString& file)
{
    CULRegistry registry;
    ASSERT_TRUE(registry.Open(HKEY_CLASSES_ROOT,
                              CString("CLSID\\") + kControlClass + "\\InprocServer32",
                              KEY_ALL_ACCESS, "\\"));
    ASSERT_TRUE(registry.SetString(nullptr, file));
}
} // namespace

// Without a root the data folder stands in. The user's own data folder gets its log folder,
// private to the user; an installation and the shared Windows data folder are never changed.
TEST_F(InstallationFactsTest, DataFolderWhenNothingQualifiesAndTheRootIsComputedOncePerProcess)
{
    namespace fs = std::filesystem;
    EXPECT_EQ(GetSuiteLogDir(), m_dir.Sub("profile\\korvel\\log"));
    EXPECT_EQ(os::kDataFolderIsUsers, PrepareSuiteLogDir());
    EXPECT_EQ(os::kDataFolderIsUsers, fs::is_directory(GetSuiteLogDir().GetString()));
#if !defined(_WIN32)
    for (const char* folder : {"profile\\korvel", "profile\\korvel\\log"})
        EXPECT_EQ(fs::perms::owner_all,
                  fs::status(m_dir.Sub(folder).GetString()).permissions() & fs::perms::all)
            << folder;
#endif
    const CString suite = MakeSuite("suite");
    EXPECT_TRUE(SetSuiteRootDir(suite));
    EXPECT_FALSE(PrepareSuiteLogDir());
    EXPECT_FALSE(fs::exists(m_dir.Sub("suite\\log").GetString()));

    ScopedEnvironment noProfile("ALLUSERSPROFILE", nullptr);
    // The XDG rules take a relative state folder for none.
    ScopedEnvironment relativeState("XDG_STATE_HOME", "state");
    ScopedEnvironment home("HOME", m_dir.Sub("home"));
    const CString root =
        os::kDataFolderIsUsers ? m_dir.Sub("home\\.local\\state\\korvel") : CString("korvel");
    EXPECT_EQ(FreshRoot(), root);
    EXPECT_EQ(GetSuiteCtrlDir(), root + NativePath("\\ctrl"));

    EXPECT_EQ(ValidateSuiteRoot(suite + NativePath("\\")), suite);
    EXPECT_EQ(ValidateSuiteRoot(m_dir.Path()), "");
    EXPECT_EQ(ValidateSuiteRoot("  \t"), "");
    // The folder name test is case-sensitive: "CTRL" holding RVT.exe does not qualify.
    m_dir.MakeFile("other\\CTRL\\RVT.exe");
    EXPECT_EQ(ValidateSuiteRoot(m_dir.Sub("other\\CTRL")), "");

    // The root is computed once per process; a valid root set later replaces it.
    const CString first = GetSuiteRootDir();
    ScopedEnvironment rootVariable("KORVEL_ROOT_DIR", suite);
    EXPECT_EQ(GetSuiteRootDir(), first);
    EXPECT_FALSE(SetSuiteRootDir(m_dir.Sub("nowhere")));
    EXPECT_EQ(GetSuiteRootDir(), first);
    EXPECT_TRUE(SetSuiteRootDir(suite + NativePath("\\ctrl")));
    EXPECT_EQ(GetSuiteRootDir(), suite);
}

// A KORVEL_ROOT_DIR that does not become the root is named once, with the reason; a qualifying
// one wins unless auto-detection is on.
TEST_F(InstallationFactsTest, RootVariableWinsUnlessPassedOverWithItsReason)
{
    const CString suite = MakeSuite("suite");
    const CString autoDetect = "KORVEL_ROOT_DIR_AUTO_DETECT is set";
    const struct
    {
        CString value;
        const char* detect;
        CString reason; // empty: the value is the root
    } rows[] = {{m_dir.Sub("missing"), nullptr, "no such folder"},
                {m_dir.MakeDir("empty"), nullptr, "it holds no " + NativePath("ctrl\\RVT.exe")},
                {m_dir.MakeFile("file"), nullptr, "not a folder"},
                {suite, nullptr, ""},
                {suite + NativePath("\\"), "0", ""},
                {suite, "false", ""},
                {suite, "FALSE", ""},
                {suite, "", ""},
                {suite, "1", autoDetect},
                {suite, "False", autoDetect}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.value + " " + (row.detect ? row.detect : "unset"));
        ScopedEnvironment root("KORVEL_ROOT_DIR", row.value);
        ScopedEnvironment detect("KORVEL_ROOT_DIR_AUTO_DETECT", row.detect);
        os::DebugOutputCapture capture;
        EXPECT_EQ(FreshRoot(), row.reason.IsEmpty() ? suite : m_dir.Sub("profile\\korvel"));
        GetSuiteRootDir();
        EXPECT_EQ(row.reason.IsEmpty()
                      ? CString()
                      : "KORVEL_ROOT_DIR \"" + row.value + "\" passed over: " + row.reason + "\n",
                  capture.GetText());
    }
}

// A registered control shows and locates the suite; a control of another file name is shown, but
// its folder is no root candidate.
TEST_F(InstallationFactsTest, RegisteredControlLocatesTheSuite)
{
    if (!os::kRegistryAvailable)
        GTEST_SKIP() << "no registry on this platform";
    // A registration left in either view by an earlier run would take precedence.
    for (const DWORD view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
        CULRegistry::DeleteKey(HKEY_CLASSES_ROOT, "CLSID", kControlClass, KEY_ALL_ACCESS | view,
                               "\\");
    const CString control = MakeSuite("control");
    const CString controlFile = control + NativePath("\\ctrl\\q5300.OCX");
    RegisterControl(controlFile);
    EXPECT_EQ(GetActiveXControlPath(), controlFile);
    EXPECT_EQ(GetActiveXControlDir(), control + NativePath("\\ctrl"));
    EXPECT_EQ(FreshRoot(), control);
    RegisterControl(control + NativePath("\\ctrl\\Other.ocx"));
    EXPECT_EQ(GetActiveXControlDir(), "");
    EXPECT_TRUE(
        CULRegistry::DeleteKey(HKEY_CLASSES_ROOT, "CLSID", kControlClass, KEY_ALL_ACCESS, "\\"));
}
