#include "CULSystemVersion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
// Builds version records by hand.
class TestVersion : public CULSystemVersion
{
public:
    TestVersion(DWORD platform, DWORD major, DWORD minor, DWORD build, const char* servicePack = "")
    {
        m_record.size = sizeof(m_record);
        m_record.platformId = platform;
        m_record.majorVersion = major;
        m_record.minorVersion = minor;
        m_record.buildNumber = build;
        std::strncpy(m_record.servicePack, servicePack, sizeof(m_record.servicePack));
    }
    void FillServicePack(char ch)
    {
        std::memset(m_record.servicePack, ch, sizeof(m_record.servicePack));
    }
};

enum Predicate
{
    Win95 = 1 << 0,
    Win95OSR2 = 1 << 1,
    Win98 = 1 << 2,
    Win98SE = 1 << 3,
    WinME = 1 << 4,
    WinNT4 = 1 << 5,
    Win2000 = 1 << 6,
    WinXP = 1 << 7,
    WinVista = 1 << 8,
    Win7 = 1 << 9,
};

// The predicates that hold, as a set of bits.
int Answers(const CULSystemVersion& version, bool orLater)
{
    const bool answers[] = {version.IsWin95(orLater),    version.IsWin95OSR2(orLater),
                            version.IsWin98(orLater),    version.IsWin98SE(orLater),
                            version.IsWinME(orLater),    version.IsWinNT4(orLater),
                            version.IsWin2000(orLater),  version.IsWinXP(orLater),
                            version.IsWinVista(orLater), version.IsWin7(orLater)};
    int bits = 0;
    for (int index = 0; index < 10; ++index)
        bits |= answers[index] ? 1 << index : 0;
    return bits;
}

struct Case
{
    TestVersion version;
    int exact;
    int orLater;
    const char* name;
};

constexpr int k9xUpTo98SE = Win95 | Win95OSR2 | Win98 | Win98SE;
constexpr int kNTUpToVista = WinNT4 | Win2000 | WinXP | WinVista;
} // namespace

TEST(CULSystemVersion, PredicatesAndNamesOfEveryVersion)
{
    const std::vector<Case> cases = {
        {{1, 4, 0, 950}, Win95, Win95, "Microsoft Windows 95"},
        {{1, 4, 0, 950, " B"}, Win95, Win95, "Microsoft Windows 95"},
        {{1, 4, 0, 1111, " C"}, Win95OSR2, Win95 | Win95OSR2, "Microsoft Windows 95 OSR2"},
        {{1, 4, 10, 1998}, Win98, Win95 | Win95OSR2 | Win98, "Microsoft Windows 98"},
        {{1, 4, 10, 0x040A08AE, " A "}, Win98SE, k9xUpTo98SE, "Microsoft Windows 98 SE"},
        {{1, 4, 89, 2222}, Win98SE, k9xUpTo98SE, "Microsoft Windows 98 SE"},
        {{1, 4, 90, 3000}, WinME, k9xUpTo98SE | WinME, "Microsoft Windows ME"},
        {{2, 4, 0, 1381, "Service Pack 6"}, WinNT4, WinNT4, "Microsoft Windows NT 4.0"},
        {{2, 5, 0, 2195}, Win2000, WinNT4 | Win2000, "Microsoft Windows 2000"},
        {{2, 5, 1, 2600}, WinXP, WinNT4 | Win2000 | WinXP, "Microsoft Windows XP"},
        {{2, 6, 0, 6002}, WinVista, kNTUpToVista, "Microsoft Windows Vista"},
        {{2, 6, 1, 7601}, Win7, kNTUpToVista | Win7, "Microsoft Windows 7"},
        // Server 2003 and XP x64 fall between the chain's links.
        {{2, 5, 2, 3790}, 0, 0, "Microsoft Windows"},
        {{2, 6, 2, 9200}, 0, kNTUpToVista, "Microsoft Windows"},
        {{2, 10, 0, 19045}, 0, kNTUpToVista, "Microsoft Windows"},
        // Major version 6 counts as Vista or later whatever the platform says.
        {{0, 6, 0, 0}, 0, kNTUpToVista, "Microsoft Windows"},
        {{2, 3, 51, 1057}, 0, 0, "Microsoft Windows"},
    };
    for (const Case& test : cases)
    {
        const CString label =
            test.version.GetVersionText() + " build " + test.version.GetBuildText();
        EXPECT_EQ(Answers(test.version, false), test.exact) << label;
        EXPECT_EQ(Answers(test.version, true), test.orLater) << label;
        EXPECT_STREQ(test.version.GetName(), test.name) << label;
    }
}

TEST(CULSystemVersion, VersionBuildAndServicePackTexts)
{
    const TestVersion win7(2, 6, 1, 7601, "Service Pack 1");
    DWORD number = 0;
    EXPECT_STREQ(win7.GetVersionText(&number), "6.1");
    EXPECT_EQ(number, 601u);
    EXPECT_STREQ(win7.GetBuildText(&number), "7601");
    EXPECT_EQ(number, 7601u);
    EXPECT_STREQ(win7.GetServicePackText(), "Service Pack 1");

    // Only the Windows 9x family keeps the build in the low 16 bits.
    const TestVersion win98se(1, 4, 10, 0x040A08AE);
    EXPECT_STREQ(win98se.GetBuildText(&number), "2222");
    EXPECT_EQ(number, 2222u);
    const TestVersion wideBuild(2, 10, 0, 0x12345);
    EXPECT_STREQ(wideBuild.GetBuildText(), "74565");
    EXPECT_STREQ(TestVersion(2, 5, 1, 2600).GetVersionText(&number), "5.1");
    EXPECT_EQ(number, 501u);

    TestVersion unterminated(2, 5, 1, 2600);
    unterminated.FillServicePack('x');
    EXPECT_EQ(unterminated.GetServicePackText().GetLength(), 128);
}

TEST(CULSystemVersion, EmptyLoadedAndCleared)
{
    CULSystemVersion version;
    DWORD number = 99;
    EXPECT_FALSE(version.IsLoaded());
    EXPECT_EQ(Answers(version, true), 0);
    EXPECT_STREQ(version.GetName(), "Microsoft Windows");
    EXPECT_STREQ(version.GetVersionText(&number), "0.0");
    EXPECT_EQ(number, 0u);

    // Loaded even where the platform has no record to give.
    EXPECT_EQ(version.Load(), os::kVersionRecordAvailable);
    EXPECT_TRUE(version.IsLoaded());
    const CULSystemVersion snapshot = version;
    if (os::kVersionRecordAvailable)
    {
        EXPECT_TRUE(version.IsWin2000(true) || version.GetName() == "Microsoft Windows");
        EXPECT_GE(version.GetVersionText(&number).GetLength(), 3);
        EXPECT_GE(number, 500u);
    }
    version.Clear();
    EXPECT_FALSE(version.IsLoaded());
    EXPECT_STREQ(version.GetVersionText(), "0.0");
    EXPECT_TRUE(snapshot.IsLoaded());
    EXPECT_STREQ(snapshot.GetName(), CULSystemVersion(snapshot).GetName());
}
