#include "CSettingsCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> Findings(const char* text)
{
    CULXMLData document;
    EXPECT_TRUE(document.LoadFromString(text)) << document.GetLastError().GetString();
    std::vector<std::string> findings;
    for (const CString& finding : CSettingsCheck::Check(document))
        findings.push_back(finding.str());
    return findings;
}
} // namespace

TEST(CSettingsCheckTest, UnknownKeysNearMissesAndValuesOutOfRangeAreFoundAndNothingElse)
{
    EXPECT_TRUE(Findings("<Korvel><config Filename=\"log_A.htm\" Level=\"0x800F\" "
                         "OutputDevice=\"7\" SyslogServer=\"localhost:514\"></config>"
                         "<Motor _Level=\"4294967295\" _Version=\"1\" Error=\"1\" "
                         "Error_Color=\"16711680\"></Motor>"
                         "<UserDefined Anything=\"goes\"></UserDefined></Korvel>")
                    .empty());
    const std::vector<std::string> expected = {
        "[config] unknown key \"Levle\": did you mean \"Level\"?",
        "[config] unknown key \"Colour\": the library ignores it",
        "[config] \"OutputDevice\" is 9 out of range 0..7 (only 1 (debugger output), 2 (file) and "
        "4 (syslog) exist)",
        "[config] \"FileLinesToFlush\" is \"abc\", not a number",
        "[config] \"Filename\" is \"../x.htm\", a name that leaves the log folder",
        "[Motor] unknown key \"_levl\": did you mean \"_Level\"?",
        "[Motor] \"Error_Color\" is 0x1000000 out of range 0..16777215 (colours are 0xRRGGBB)",
        "[Motor] \"Error\" is 40 out of range 0..32 (a level's index)"};
    EXPECT_EQ(
        expected,
        Findings("<Korvel><config Levle=\"3\" Colour=\"1\" OutputDevice=\"9\" "
                 "FileLinesToFlush=\"abc\" Filename=\"../x.htm\"></config>"
                 "<Motor _levl=\"1\" Error_Color=\"0x1000000\" Error=\"40\"></Motor></Korvel>"));
}

TEST(CSettingsCheckTest, NearMissesAreTwoEditsAwayAtMost)
{
    const std::vector<const char*> known = {"Level", "OutputDevice", "Format"};
    EXPECT_STREQ("Level", CSettingsCheck::NearMiss("Levle", known));
    EXPECT_STREQ("Level", CSettingsCheck::NearMiss("lvl", known));
    EXPECT_STREQ("OutputDevice", CSettingsCheck::NearMiss("OutputDevices", known));
    EXPECT_STREQ("", CSettingsCheck::NearMiss("LEVEL", known));
    EXPECT_STREQ("", CSettingsCheck::NearMiss("Colour", known));
}
