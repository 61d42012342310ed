#include "CSettingsCheck.h"
#include "LevelText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
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

// The values are the table's to judge (see the settings table's test); here the keys.
TEST(CSettingsCheckTest, UnknownKeysAreFoundWithTheKeyTheyMisspellAndLevelNamesGiveMasks)
{
    EXPECT_TRUE(Findings("<Korvel><config level=\"0x800F\" SyslogServer=\"localhost:514\">"
                         "</config><Motor _Level=\"4294967295\" Error=\"40\" "
                         "Error_Color=\"x\"></Motor><UserDefined Anything=\"goes\"></UserDefined>"
                         "</Korvel>")
                    .empty());
    const std::vector<std::string> misspelt = {
        "[config] unknown key \"Levle\": did you mean \"Level\"?",
        "[config] unknown key \"Colour\": the library ignores it",
        "[config] unknown key \"OutputDevices\": did you mean \"OutputDevice\"?",
        "[Motor] unknown key \"_levl\": did you mean \"_Level\"?",
        "[Motor] unknown key \"_Colour\": the library ignores it",
        "[Motor] \"_Version\" \"v1\" is not a number"};
    EXPECT_EQ(misspelt, Findings("<Korvel><config Levle=\"3\" Colour=\"1\" OutputDevices=\"1\" "
                                 "LEVEL=\"1\"></config><Motor _levl=\"1\" _Colour=\"1\" "
                                 "_Version=\"v1\"></Motor></Korvel>"));

    // Numbers alone are the settings' own number rule; here level names, their joins with numbers,
    // and what is left of a join.
    const std::pair<const char*, unsigned long> accepted[] = {
        {" error | DEBUG ", 0x8001}, {"All", 0xFFFFFFFFUL}, {"none", 0}, {"Error|0x10", 0x11}};
    for (const auto& [text, expected] : accepted)
    {
        unsigned long mask = 7;
        EXPECT_TRUE(ParseLevel(text, mask)) << text;
        EXPECT_EQ(expected, mask) << text;
    }
    for (const char* text : {"", "Eror", "Error|", "0x1G"})
    {
        unsigned long mask = 7;
        EXPECT_FALSE(ParseLevel(text, mask)) << text;
        EXPECT_EQ(7UL, mask) << text;
    }
}
