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

// The short names of the versions the record is or is later than, blank-separated.
std::string OrLater(const CULSystemVersion& v)
{
    const std::pair<bool, const char*> answers[] = {
        {v.IsWin95(true), "95"},     {v.IsWin95OSR2(true), "OSR2"}, {v.IsWin98(true), "98"},
        {v.IsWin98SE(true), "98SE"}, {v.IsWinME(true), "ME"},       {v.IsWinNT4(true), "NT4"},
        {v.IsWin2000(true), "2000"}, {v.IsWinXP(true), "XP"},       {v.IsWinVista(true), "Vista"},
        {v.IsWin7(true), "7"}};
    std::string text;
    for (const auto& answer : answers)
        if (answer.first)
            text += (text.empty() ? "" : " ") + std::string(answer.second);
    return text;
}

// name: the system's name after "Microsoft Windows".
void Expect(const TestVersion& version, const char* name, const char* orLater)
{
    const CString label = version.GetVersionText() + " build " + version.GetBuildText();
    EXPECT_EQ(version.GetName(), CString("Microsoft Windows") + (*name ? " " : "") + name) << label;
    EXPECT_EQ(OrLater(version), orLater) << label;
}
} // namespace

// The name is the first version that holds exactly; Server 2003 and XP x64 fall between the
// chain's links, and major version 6 counts as Vista or later whatever the platform says.
TEST(CULSystemVersion, NamesAndLaterVersionsOfEveryRecord)
{
    Expect({1, 4, 0, 950, " B"}, "95", "95");
    Expect({1, 4, 0, 1111, " C"}, "95 OSR2", "95 OSR2");
    Expect({1, 4, 10, 1998}, "98", "95 OSR2 98");
    Expect({1, 4, 10, 0x040A08AE, " A "}, "98 SE", "95 OSR2 98 98SE");
    Expect({1, 4, 89, 2222}, "98 SE", "95 OSR2 98 98SE");
    Expect({1, 4, 90, 3000}, "ME", "95 OSR2 98 98SE ME");
    Expect({2, 4, 0, 1381}, "NT 4.0", "NT4");
    Expect({2, 5, 0, 2195}, "2000", "NT4 2000");
    Expect({2, 5, 1, 2600}, "XP", "NT4 2000 XP");
    Expect({2, 6, 0, 6002}, "Vista", "NT4 2000 XP Vista");
    Expect({2, 6, 1, 7601}, "7", "NT4 2000 XP Vista 7");
    Expect({2, 5, 2, 3790}, "", "");
    Expect({2, 10, 0, 19045}, "", "NT4 2000 XP Vista");
    Expect({0, 6, 0, 0}, "", "NT4 2000 XP Vista");

    DWORD number = 0;
    EXPECT_STREQ(TestVersion(2, 6, 1, 7601).GetVersionText(&number), "6.1");
    EXPECT_EQ(number, 601u);
    // Only the Windows 9x family keeps the build in the low 16 bits.
    EXPECT_STREQ(TestVersion(1, 4, 10, 0x040A08AE).GetBuildText(&number), "2222");
    EXPECT_EQ(number, 2222u);
    EXPECT_STREQ(TestVersion(2, 10, 0, 0x12345).GetBuildText(), "74565");
    const std::string unterminated(200, 'x');
    EXPECT_EQ(TestVersion(2, 5, 1, 2600, unterminated.c_str()).GetServicePackText().GetLength(),
              128);

    // Loaded even where the platform has no record to give.
    CULSystemVersion version;
    EXPECT_EQ(version.Load(), os::kVersionRecordAvailable);
    EXPECT_TRUE(version.IsLoaded());
    version.Clear();
    EXPECT_FALSE(version.IsLoaded());
}
