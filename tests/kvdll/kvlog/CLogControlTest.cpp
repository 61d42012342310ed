#include "KvlogTestFixture.h"

#include "LogBanner.h"
#include "OsProcess.h"
#include "OsTime.h"

namespace
{
using ControlTest = KvlogTest;

TEST_F(ControlTest, ConstructionDefaults)
{
    CLogComponent component("Motor", nullptr);
    CLogControl& controller = CLogControlTestPeer::Controller();
    EXPECT_EQ(15UL, controller.GetMasterLevel());
    EXPECT_EQ("log.htm", controller.GetFilename());
    EXPECT_TRUE(controller.GetApplicationName().IsEmpty());
    EXPECT_EQ(0, controller.HasFunctionField());
    EXPECT_EQ(8, CLogControlTestPeer::Template().GetElementCount());
    EXPECT_EQ(0UL, controller.GetLastBlockDuration());
}

TEST_F(ControlTest, ApplicationNameIsAcceptedOnce)
{
    CLogComponent component("Motor", nullptr);
    component.SetApplicationName("Motor Test", 1);
    EXPECT_EQ("", OutputWithoutReports());
    EXPECT_EQ("Motor Test", CLogControlTestPeer::Controller().GetApplicationName());
    EXPECT_EQ(0, CLogControlTestPeer::IsLoggingDisabled());

    component.SetApplicationName("Other", 1);
    EXPECT_EQ(BannerText(LogBanner::kCalledTwice), OutputWithoutReports());
    EXPECT_EQ("Motor Test", CLogControlTestPeer::Controller().GetApplicationName());
    EXPECT_EQ(1, CLogControlTestPeer::IsLoggingDisabled());
}

TEST_F(ControlTest, NullNameLeavesTheApplicationUnnamed)
{
    CLogComponent component("Motor", nullptr);
    component.SetApplicationName(nullptr, 0);
    component.SetApplicationName("Named", 1);
    EXPECT_EQ("", OutputWithoutReports());
    EXPECT_EQ("Named", CLogControlTestPeer::Controller().GetApplicationName());
}

TEST_F(ControlTest, FirstLineDerivesTheNameAndWarnsOnce)
{
    CLogComponent component("Motor", nullptr);
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputDebugger);
    CLogControlTestPeer::SetFormat("MESSAGE");
    m_capture.Clear();
    component.Log(LOG_ERROR, "first");
    component.Log(LOG_ERROR, "second");
    const CString expected = BannerText(LogBanner::kUsingApplicationName) + "first\nsecond\n";
    EXPECT_EQ(expected, OutputWithoutReports());
    const CString name = CLogControlTestPeer::Controller().GetApplicationName();
    EXPECT_EQ(CLogControl::DetectApplicationNameFrom(os::GetCommandLineA()), name);
    EXPECT_EQ("_detected", name.Right(9));

    // A later explicit name counts as the second one.
    m_capture.Clear();
    component.SetApplicationName("Explicit", 1);
    component.Log(LOG_ERROR, "dropped");
    EXPECT_EQ(BannerText(LogBanner::kCalledTwice), OutputWithoutReports());
}

TEST_F(ControlTest, NoDerivableNameDisablesLoggingAfterTheCurrentLine)
{
    CLogComponent component("Motor", nullptr);
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputDebugger);
    CLogControlTestPeer::SetFormat("MESSAGE");
    CLogControlTestPeer::ApplyDefaultApplicationName(CString());
    EXPECT_EQ(1, CLogControlTestPeer::IsLoggingDisabled());
    EXPECT_EQ(BannerText(LogBanner::kUsingApplicationName), m_capture.GetText());

    m_capture.Clear();
    component.SetApplicationName("Late", 1);
    EXPECT_EQ(BannerText(LogBanner::kCalledAfterFirstLog), OutputWithoutReports());
    EXPECT_EQ("Late", CLogControlTestPeer::Controller().GetApplicationName());
    m_capture.Clear();
    component.Log(LOG_ERROR, "dropped");
    EXPECT_EQ("", Output());
}

TEST(DetectApplicationNameTest, NameIsTheProgramFileWithoutExtension)
{
    EXPECT_EQ("viewer_detected", CLogControl::DetectApplicationNameFrom("C:\\Apps\\Viewer.exe"));
    EXPECT_EQ("viewer_detected",
              CLogControl::DetectApplicationNameFrom("\"C:\\Apps\\Viewer.exe\""));
    EXPECT_EQ("viewer_detected", CLogControl::DetectApplicationNameFrom("/opt/apps/Viewer.bin"));
    EXPECT_EQ("tool_detected", CLogControl::DetectApplicationNameFrom("Tool.exe"));
    EXPECT_EQ("viewer_detected", CLogControl::DetectApplicationNameFrom("C:\\Apps\\Viewer"));
    // The search covers the arguments too.
    EXPECT_EQ("viewer -f data_detected",
              CLogControl::DetectApplicationNameFrom("C:\\Apps\\Viewer -f data.txt"));
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom("C:\\Apps.d\\Viewer"));
}

TEST(DetectApplicationNameTest, BareNamesNeedMoreThanEightAlphanumerics)
{
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom("PROGRAM1"));
    EXPECT_EQ("program1_detected", CLogControl::DetectApplicationNameFrom("PROGRAM12"));
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom("PROG-RAM12"));
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom(""));
}

TEST(DetectApplicationNameTest, RejectedNames)
{
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom("C:\\Temp\\setup.exe"));
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom("\"C:\\Temp\\setup.exe\""));
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom("C:\\Windows\\REBOOT.exe"));
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom("C:\\Temp\\_isxyz.exe"));
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom("C:\\Temp\\.exe"));
    EXPECT_EQ("", CLogControl::DetectApplicationNameFrom("C:\\x\\ -l0x9  -your_launcherSETUP.exe"));
}

TEST_F(ControlTest, BlocksCountDepthAndTimeTheFirstNineteenLevels)
{
    CLogComponent component("Motor", nullptr);
    CLogControl& controller = CLogControlTestPeer::Controller();
    for (int i = 0; i < 25; ++i)
        controller.StartBlock();
    EXPECT_EQ(25UL, CLogControlTestPeer::GetBlockDepth());
    for (int i = 0; i < 6; ++i)
        controller.EndBlock();
    EXPECT_EQ(19UL, CLogControlTestPeer::GetBlockDepth());
    EXPECT_EQ(0UL, controller.GetLastBlockDuration()) << "depth 20 is not timed";

    // Make the outermost block look as if it started 5000 ms ago.
    CLogControlTestPeer::SetBlockTime(1, os::GetTickCount() - 5000);
    for (int i = 0; i < 19; ++i)
        controller.EndBlock();
    EXPECT_EQ(0UL, CLogControlTestPeer::GetBlockDepth());
    const unsigned long duration = controller.GetLastBlockDuration();
    EXPECT_GE(duration, 5000UL);
    EXPECT_LT(duration, 60000UL);

    controller.EndBlock();
    EXPECT_EQ(0UL, CLogControlTestPeer::GetBlockDepth());
}

TEST_F(ControlTest, LevelDescriptionGoesToTheRecordOfItsComponent)
{
    CLogComponent motor("Motor", nullptr);
    CLogComponent camera("Camera", nullptr);
    camera.AddLevelDescription(__FILE__, __LINE__, __func__, 0x10, "Trace", 0x0000FF);
    EXPECT_EQ(0, CLogControlTestPeer::GetRecord(0)->GetLevelDescriptionCount());
    EXPECT_EQ(1, CLogControlTestPeer::GetRecord(1)->GetLevelDescriptionCount());
    // Unnamed application: the description waits for the next settings sync.
    EXPECT_EQ(0xFFFFFFFFUL, camera.GetLevel());
}

TEST_F(ControlTest, UnregisteringAnUnknownRecordChangesNothing)
{
    CLogComponent motor("Motor", nullptr);
    CLogControlTestPeer::Controller().UnregisterComponent(nullptr);
    EXPECT_EQ(1, CLogControlTestPeer::GetComponentCount());
}
} // namespace
