#include "KvlogTestFixture.h"

#include "OsTime.h"
#include "controller/LogBanner.h"

#include <string>
#include <utility>

namespace
{
// A null name leaves the application unnamed. Without a derivable name logging stops after the
// current line; the first real name is the only one accepted.
TEST_F(KvlogTest, NameIsAcceptedOnceAndBlocksAreCounted)
{
    CLogComponent component("Motor", nullptr);
    component.SetApplicationName(nullptr, 0);
    EXPECT_EQ("", OutputWithoutReports());
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputDebugger);
    CLogControlTestPeer::SetFormat("MESSAGE");
    CLogControlTestPeer::ApplyDefaultApplicationName(CString());
    EXPECT_EQ(BannerText(LogBanner::kUsingApplicationName), OutputWithoutReports());

    m_capture.Clear();
    component.SetApplicationName("Late", 1);
    EXPECT_EQ(BannerText(LogBanner::kCalledAfterFirstLog), OutputWithoutReports());
    m_capture.Clear();
    component.Log(LOG_ERROR, "dropped"); // a name that came too late disables logging
    EXPECT_EQ("", Output());
    component.SetApplicationName("Other", 1);
    component.Log(LOG_ERROR, "dropped");
    // Every banner is the same nine-line frame, each line ended by a bare line feed, around words
    // of its own.
    const std::string stars(78, '*');
    EXPECT_EQ(std::string(78, '/') + "\n" + stars +
                  "\n** Logging ERROR !!!                                  LL     OOOOOO  GGGGGG   "
                  "\n** LOG_SETAPPLICATION(Name)                           LL     OO  OO  GG       "
                  "\n** called twice                                       LL     OO  OO  GG GGG   "
                  "\n**                                                    LL     OO  OO  GG  GG   "
                  "\n** ==> Logging DISABLED                               LLLLL  OOOOOO  GGGGGG   "
                  "\n" +
                  stars + "\n" + std::string(39, '\\') + "\n",
              OutputWithoutReports());
    EXPECT_EQ("Late", CLogControlTestPeer::Controller().GetApplicationName());
    const std::pair<LogBanner, const char*> rows[] = {
        {LogBanner::kCalledAfterFirstLog, "\n** called after first LOG   "},
        {LogBanner::kUsingApplicationName, "\n** Logging WARNING !!!   "},
        {LogBanner::kUsingApplicationName, "\n** ==> Using ApplicationName   "},
        {LogBanner::kCouldNotOpenLogfile, "\n** Could not open or create Logfile   "}};
    for (const auto& [banner, words] : rows)
        EXPECT_NE(-1, BannerText(banner).Find(words)) << words;

    // Blocks count their depth and time the first nineteen levels.
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
    EXPECT_GE(controller.GetLastBlockDuration(), 5000UL);

    controller.EndBlock();
    EXPECT_EQ(0UL, CLogControlTestPeer::GetBlockDepth());
}

TEST_F(KvlogTest, TheNameIsDerivedFromTheProgramAndTheFirstLineWarns)
{
    // The program file's name in lower case without its extension; the search covers the arguments
    // too. A bare name needs more than eight letters or digits; installers and system tools give
    // none.
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Apps\\Viewer.exe", "viewer_detected"},
        {"/opt/apps/Viewer.bin", "viewer_detected"},
        {"C:\\Apps\\Viewer -f data.txt", "viewer -f data_detected"},
        {"PROGRAM12", "program1_detected"}};
    for (const auto& [commandLine, name] : cases)
        EXPECT_EQ(name, CLogControl::DetectApplicationNameFrom(commandLine)) << commandLine;
    for (const char* commandLine :
         {"C:\\Apps.d\\Viewer", "PROGRAM1", "PROG-RAM12", "", "\"C:\\Temp\\setup.exe\"",
          "C:\\Windows\\REBOOT.exe", "C:\\Temp\\_isxyz.exe", "C:\\Temp\\.exe",
          "C:\\x\\ -l0x9  -your_launcherSETUP.exe"})
        EXPECT_EQ("", CLogControl::DetectApplicationNameFrom(commandLine)) << commandLine;

    // From the program file alone: its base name up to its last dot; arguments and folders play
    // no part, and a short name is a name.
    const std::pair<const char*, const char*> programs[] = {
        {"/opt/my.apps/viewer.bin", "viewer_detected"},
        {"archive.tar.gz", "archive.tar_detected"},
        {"C:\\Apps\\Viewer.exe", "viewer_detected"}};
    for (const auto& [program, name] : programs)
        EXPECT_EQ(name, CLogControl::DetectApplicationNameFromProgram(program)) << program;
    for (const char* program : {"", "/usr/sbin/setup", "/opt/REBOOT.sh", "/opt/.hidden", "/x/_isx"})
        EXPECT_EQ("", CLogControl::DetectApplicationNameFromProgram(program)) << program;

    CLogComponent component("Motor", nullptr);
    // POSIX names the application after the program file whatever the arguments; on Windows the
    // command-line rule cuts at the last dot, so ".\\kvlog_tests" yields no name.
    const CString detected = CLogControlTestPeer::Controller().DetectApplicationName();
#if !defined(_WIN32)
    EXPECT_EQ("kvlog_tests_detected", detected);
#endif
    if (detected.IsEmpty())
        GTEST_SKIP() << "started through a path from which no name can be derived";
    CLogControlTestPeer::SetOutputDevices(CLogControl::kOutputDebugger);
    CLogControlTestPeer::SetFormat("MESSAGE");
    m_capture.Clear();
    component.Log(LOG_ERROR, "first");
    component.Log(LOG_ERROR, "second");
    EXPECT_EQ(BannerText(LogBanner::kUsingApplicationName) + "first\nsecond\n",
              OutputWithoutReports());
    EXPECT_EQ(detected, CLogControlTestPeer::Controller().GetApplicationName());
    // A later explicit name counts as the second one.
    m_capture.Clear();
    component.SetApplicationName("Explicit", 1);
    component.Log(LOG_ERROR, "dropped");
    EXPECT_EQ(BannerText(LogBanner::kCalledTwice), OutputWithoutReports());
}
} // namespace
