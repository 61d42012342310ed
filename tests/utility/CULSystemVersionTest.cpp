#include "CULSystemVersion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

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

// name: the system's name after "Microsoft Windows".
void ExpectName(const TestVersion& version, const char* name)
{
    EXPECT_EQ(version.GetName(), CString("Microsoft Windows") + (*name ? " " : "") + name)
        << version.GetVersionText() + " build " + version.GetBuildText();
}
} // namespace

// The name is the first version that holds exactly; Server 2003 and XP x64 fall between the
// versions named.
TEST(CULSystemVersion, NamesChainsAndTextsOfEveryRecord)
{
    ExpectName({1, 4, 0, 950, " B"}, "95");
    ExpectName({1, 4, 0, 1111, " C"}, "95 OSR2");
    ExpectName({1, 4, 10, 0x040A08AE, " A "}, "98 SE");
    ExpectName({2, 5, 1, 2600}, "XP");
    ExpectName({2, 6, 1, 7601}, "7");
    ExpectName({2, 5, 2, 3790}, "");

    // "Or later" follows the chain from each family's first version; major version 6 counts as
    // Vista or later whatever the platform says.
    EXPECT_TRUE(TestVersion(1, 4, 90, 3000).IsWin95(true));
    EXPECT_TRUE(TestVersion(2, 6, 1, 7601).IsWinNT4(true));
    EXPECT_TRUE(TestVersion(0, 6, 0, 0).IsWinXP(true));

    // Only the Windows 9x family keeps the build in the low 16 bits.
    EXPECT_STREQ(TestVersion(1, 4, 10, 0x040A08AE).GetBuildText(), "2222");
    EXPECT_STREQ(TestVersion(2, 10, 0, 0x12345).GetBuildText(), "74565");
    const std::string unterminated(200, 'x');
    EXPECT_EQ(TestVersion(2, 5, 1, 2600, unterminated.c_str()).GetServicePackText().GetLength(),
              128);

    // Loaded even where the platform has no record to give.
    CULSystemVersion version;
    EXPECT_EQ(version.Load(), os::kVersionRecordAvailable);
    EXPECT_TRUE(version.IsLoaded());
}
