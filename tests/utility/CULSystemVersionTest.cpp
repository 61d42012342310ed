#include "CULSystemVersion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace
{
// Builds version records by hand.
struct TestVersion : CULSystemVersion
{
    TestVersion(DWORD platform, DWORD major, DWORD minor, DWORD build, const char* servicePack = "")
    {
        m_record = {sizeof(m_record), major, minor, build, platform, {}};
        // A text of the field's full size is left unterminated, as the system may leave it.
        const std::size_t length = std::min(std::strlen(servicePack), sizeof(m_record.servicePack));
        std::memcpy(m_record.servicePack, servicePack, length);
    }
};

// The short names of the predicates that hold, blank-separated.
std::string Answers(const CULSystemVersion& v, bool orLater)
{
    const std::pair<bool, const char*> answers[] = {
        {v.IsWin95(orLater), "95"},       {v.IsWin95OSR2(orLater), "OSR2"},
        {v.IsWin98(orLater), "98"},       {v.IsWin98SE(orLater), "98SE"},
        {v.IsWinME(orLater), "ME"},       {v.IsWinNT4(orLater), "NT4"},
        {v.IsWin2000(orLater), "2000"},   {v.IsWinXP(orLater), "XP"},
        {v.IsWinVista(orLater), "Vista"}, {v.IsWin7(orLater), "7"}};
    std::string text;
    for (const auto& answer : answers)
        if (answer.first)
            text += (text.empty() ? "" : " ") + std::string(answer.second);
    return text;
}

void ExpectAnswers(const TestVersion& version, const char* exact, const char* orLater,
                   const char* name)
{
    const CString label = version.GetVersionText() + " build " + version.GetBuildText();
    EXPECT_EQ(Answers(version, false), exact) << label;
    EXPECT_EQ(Answers(version, true), orLater) << label;
    EXPECT_STREQ(version.GetName(), name) << label;
}
} // namespace

TEST(CULSystemVersion, PredicatesNamesAndTextsOfEveryVersion)
{
    ExpectAnswers({1, 4, 0, 950, " B"}, "95", "95", "Microsoft Windows 95");
    ExpectAnswers({1, 4, 0, 1111, " C"}, "OSR2", "95 OSR2", "Microsoft Windows 95 OSR2");
    ExpectAnswers({1, 4, 10, 1998}, "98", "95 OSR2 98", "Microsoft Windows 98");
    ExpectAnswers({1, 4, 10, 0x040A08AE, " A "}, "98SE", "95 OSR2 98 98SE",
                  "Microsoft Windows 98 SE");
    ExpectAnswers({1, 4, 89, 2222}, "98SE", "95 OSR2 98 98SE", "Microsoft Windows 98 SE");
    ExpectAnswers({1, 4, 90, 3000}, "ME", "95 OSR2 98 98SE ME", "Microsoft Windows ME");
    ExpectAnswers({2, 4, 0, 1381, "Service Pack 6"}, "NT4", "NT4", "Microsoft Windows NT 4.0");
    ExpectAnswers({2, 5, 0, 2195}, "2000", "NT4 2000", "Microsoft Windows 2000");
    ExpectAnswers({2, 5, 1, 2600}, "XP", "NT4 2000 XP", "Microsoft Windows XP");
    ExpectAnswers({2, 6, 0, 6002}, "Vista", "NT4 2000 XP Vista", "Microsoft Windows Vista");
    ExpectAnswers({2, 6, 1, 7601}, "7", "NT4 2000 XP Vista 7", "Microsoft Windows 7");
    // Server 2003 and XP x64 fall between the chain's links.
    ExpectAnswers({2, 5, 2, 3790}, "", "", "Microsoft Windows");
    ExpectAnswers({2, 10, 0, 19045}, "", "NT4 2000 XP Vista", "Microsoft Windows");
    // Major version 6 counts as Vista or later whatever the platform says.
    ExpectAnswers({0, 6, 0, 0}, "", "NT4 2000 XP Vista", "Microsoft Windows");

    const TestVersion win7(2, 6, 1, 7601, "Service Pack 1");
    DWORD number = 0;
    EXPECT_STREQ(win7.GetVersionText(&number), "6.1");
    EXPECT_EQ(number, 601u);
    EXPECT_STREQ(win7.GetBuildText(&number), "7601");
    EXPECT_EQ(number, 7601u);
    EXPECT_STREQ(win7.GetServicePackText(), "Service Pack 1");

    // Only the Windows 9x family keeps the build in the low 16 bits.
    EXPECT_STREQ(TestVersion(1, 4, 10, 0x040A08AE).GetBuildText(&number), "2222");
    EXPECT_EQ(number, 2222u);
    EXPECT_STREQ(TestVersion(2, 10, 0, 0x12345).GetBuildText(), "74565");

    const std::string unterminated(200, 'x');
    EXPECT_EQ(TestVersion(2, 5, 1, 2600, unterminated.c_str()).GetServicePackText().GetLength(),
              128);

    // Empty, loaded (even where the platform has no record to give) and cleared.
    CULSystemVersion version;
    EXPECT_EQ(Answers(version, true), "");
    EXPECT_EQ(version.Load(), os::kVersionRecordAvailable);
    EXPECT_TRUE(version.IsLoaded());
    version.GetVersionText(&number);
    EXPECT_EQ(number >= 500u, os::kVersionRecordAvailable);
    version.Clear();
    EXPECT_FALSE(version.IsLoaded());
    EXPECT_STREQ(version.GetVersionText(), "0.0");
}
