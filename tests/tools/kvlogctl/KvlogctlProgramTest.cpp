// kvlogctl as an operator runs it, against the demo program running in a suite of its own.
#include "OsProcess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace
{
const int kDemoSeconds = 15;

struct Result
{
    int exitCode = -1;
    std::string output;
};

Result Kvlogctl(const std::vector<CString>& arguments)
{
    Result result;
    CString output;
    EXPECT_TRUE(os::RunProgramCaptureOutput(kvtest::SiblingProgram("kvlogctl"), output, arguments,
                                            &result.exitCode));
    result.output = output.str();
    return result;
}

// On failure, the text that lacks the part.
::testing::AssertionResult Holds(const std::string& text, const char* part)
{
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

} // namespace

// Usage errors and failures have their exit codes. A component is listed and named as the
// program names it, or by its section's name in the file; an application's name may be a letter.
// The running demo is listed, steered, followed and checked.
TEST(KvlogctlProgramTest, ComponentsAreFoundByTheirNamesAndARunningProgramIsSteered)
{
    kvtest::TempSuite suite;
    const auto log = [&] { return kvtest::ReadWholeFile(suite.Sub("log\\log_Demo.htm")); };
    const Result help = Kvlogctl({"--help"});
    EXPECT_TRUE(help.exitCode == 0 && Holds(help.output, "level APP [COMPONENT] LEVEL"));
    const std::pair<std::vector<CString>, const char*> usages[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"level", "Demo", "Eror"}, "not a level: \"Eror\""},
        {{"tail", "-x", "Demo"}, "unknown option \"-x\""},
        {{"tail", "Demo", "-n"}, "unknown option \"-n\""}};
    for (const auto& [arguments, message] : usages)
    {
        const Result usage = Kvlogctl(arguments);
        EXPECT_TRUE(usage.exitCode == 2 && Holds(usage.output, message)) << usage.exitCode;
    }
    const Result missing = Kvlogctl({"show", "Nobody"});
    EXPECT_TRUE(missing.exitCode == 1 && Holds(missing.output, "no settings file for \"Nobody\""));

    const CString file =
        suite.MakeFile("log\\xdb_P.xdb", "<Korvel><config Level=\"1\" ></config>"
                                         "<Axis_x005F_1 _Level=\"0\" ></Axis_x005F_1>"
                                         "<Motor_Control _Level=\"0\" ></Motor_Control></Korvel>");
    EXPECT_EQ(0, Kvlogctl({"level", "P", "Axis_1", "1"}).exitCode);
    EXPECT_EQ(0, Kvlogctl({"level", "P", "Motor Control", "2"}).exitCode);
    EXPECT_EQ(0, Kvlogctl({"level", "P", "axis_x005f_1", "3"}).exitCode);
    const std::string text = kvtest::ReadWholeFile(file);
    EXPECT_TRUE(Holds(text, "<Axis_x005F_1\r\n\t\t_Level=\"3\""));
    EXPECT_TRUE(Holds(text, "<Motor_Control\r\n\t\t_Level=\"2\""));

    // The demo runs on, logging its sequence five times a second.
    std::thread demo(
        []
        {
            CString output;
            os::RunProgramCaptureOutput(kvtest::SiblingProgram("kvlog_demo"), output,
                                        {CString(std::to_string(kDemoSeconds).c_str())});
        });
    EXPECT_TRUE(kvtest::WaitUntil(
        [&] { return log().find("sequence finished") != std::string::npos; }, 10000));
    const Result list = Kvlogctl({"list"});
    EXPECT_EQ(0, list.exitCode);
    for (const char* part :
         {"Demo  0x0000000F (Error|Warning|Information|Success)", "    Motor  0xFFFFFFFF (All)",
          "\n    Axis_1  0x00000003", "\n    Motor Control  0x00000002"})
        EXPECT_TRUE(Holds(list.output, part));
    EXPECT_EQ(0, Kvlogctl({"check", "Demo"}).exitCode);

    // The running program applies the new master level: a level row, then its debug lines.
    EXPECT_EQ(0, Kvlogctl({"level", "Demo", "Error|Warning|Information|Success|Debug"}).exitCode);
    EXPECT_TRUE(kvtest::WaitUntil(
        [&]
        {
            const std::string now = log();
            const std::size_t row = now.find("<strong>Level:</strong> 0x0000800F");
            return row != std::string::npos && now.find("moving axis", row) != std::string::npos;
        }));
    EXPECT_EQ(0, Kvlogctl({"level", "Demo", "Motor", "0x1"}).exitCode);
    EXPECT_TRUE(Holds(Kvlogctl({"show", "Demo"}).output, "_Level = 1  0x00000001 (Error)"));
    const Result unknown = Kvlogctl({"level", "Demo", "Motr", "1"});
    EXPECT_TRUE(unknown.exitCode == 1 && Holds(unknown.output, "no component \"Motr\" in Demo"));

    // A small size limit restarts the file while the tail follows it, keeping two earlier ones.
    EXPECT_EQ(0, Kvlogctl({"set", "Demo", "FileBackups", "2"}).exitCode);
    EXPECT_EQ(0, Kvlogctl({"set", "Demo", "MaxLogFileSize", "5000"}).exitCode);
    const Result tail = Kvlogctl({"tail", "-n", "2", "--seconds", "3", "--color", "Demo"});
    EXPECT_EQ(0, tail.exitCode);
    for (const char* part : {"\x1b[38;2;255;0;0m", "<Error", "started again --",
                             "Truncation info: log file reset due to exceeded size"})
        EXPECT_TRUE(Holds(tail.output, part));
    EXPECT_TRUE(
        Holds(Kvlogctl({"list"}).output, "\n  kept log files: log_Demo.1.htm log_Demo.2.htm"));
    const Result kept = Kvlogctl({"tail", "--kept", "2", "-n", "1", "Demo"});
    EXPECT_TRUE(kept.exitCode == 0 && Holds(kept.output, "] <"));

    // set refuses what the library would ignore; a key it does not know is written and found.
    EXPECT_EQ(1, Kvlogctl({"set", "Demo", "Levle", "1"}).exitCode);
    EXPECT_EQ(1, Kvlogctl({"set", "Demo", "OutputDevice", "9"}).exitCode);
    EXPECT_EQ(0, Kvlogctl({"set", "Demo", "Colour", "1"}).exitCode);
    const Result check = Kvlogctl({"check", "Demo"});
    EXPECT_TRUE(check.exitCode == 1 && Holds(check.output, "[config] unknown key \"Colour\""));
    demo.join();
}
