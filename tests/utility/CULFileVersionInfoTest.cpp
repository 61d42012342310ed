#include "CULFileVersionInfo.h"
#include "OsFileVersion.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace
{
const char* const kFixture = KVLOG_TEST_DATA_DIR "/versionfixture.dll";

struct Strings
{
    const char* company;
    const char* description;
    const char* fileVersion;
    const char* internalName;
    const char* copyright;
    const char* originalName;
    const char* product;
    const char* productVersion;
    const char* languageStart;
};

const Strings kEnglish = {"Example Instruments Ltd",
                          "Version fixture library",
                          "1.2.3.4",
                          "versionfixture",
                          "Copyright Example Instruments",
                          "versionfixture.dll",
                          "Fixture Suite",
                          "1.2",
                          "English"};
const Strings kGerman = {"Beispielgeraete GmbH",
                         "Versionsbibliothek zum Testen",
                         "1.2.3.4 de",
                         "versionfixture-de",
                         "",
                         "versionfixture.dll",
                         "Testpaket",
                         "1.2 de",
                         "German"};

void ExpectStrings(const CULFileVersion& version, const Strings& expected)
{
    EXPECT_STREQ(version.m_companyName, expected.company);
    EXPECT_STREQ(version.m_fileDescription, expected.description);
    EXPECT_STREQ(version.m_fileVersion, expected.fileVersion);
    EXPECT_STREQ(version.m_internalName, expected.internalName);
    EXPECT_STREQ(version.m_legalCopyright, expected.copyright);
    EXPECT_STREQ(version.m_originalFilename, expected.originalName);
    EXPECT_STREQ(version.m_productName, expected.product);
    EXPECT_STREQ(version.m_productVersion, expected.productVersion);
    // The system words a language's name in its own way; the language comes first.
    EXPECT_EQ(version.m_language.Find(expected.languageStart), 0) << version.m_language.GetString();
}

void ExpectEmpty(const CULFileVersion& version)
{
    EXPECT_EQ(version.m_companyName + version.m_fileDescription + version.m_fileVersion +
                  version.m_internalName + version.m_legalCopyright + version.m_originalFilename +
                  version.m_productName + version.m_productVersion + version.m_language,
              "");
}

const CULFileVersion& Record(const CULFileVersionInfo& info, int index)
{
    return *info.m_translations.GetAt(info.m_translations.FindIndex(index));
}
} // namespace

TEST(CULFileVersionInfo, PreferredLanguageOverlaysTheFirstTranslation)
{
    CULFileVersionInfo info(0x0407, 0x04E4);
    ASSERT_TRUE(info.Load(kFixture));
    EXPECT_TRUE(info.IsLoaded());
    ASSERT_EQ(info.m_translations.GetCount(), 2);
    ExpectStrings(Record(info, 0), kEnglish);
    ExpectStrings(Record(info, 1), kGerman);

    // German strings; the copyright that only the English translation has stays.
    Strings expected = kGerman;
    expected.copyright = kEnglish.copyright;
    ExpectStrings(info.m_defaultVersion, expected);
    EXPECT_EQ(info.m_codePage, 0x04E4);
}

TEST(CULFileVersionInfo, AbsentPreferredLanguageKeepsTheFirstTranslation)
{
    CULFileVersionInfo info(0x0411, 0);
    ASSERT_TRUE(info.Load(kFixture));
    EXPECT_EQ(info.m_translations.GetCount(), 2);
    ExpectStrings(info.m_defaultVersion, kEnglish);
}

TEST(CULFileVersionInfo, FilesWithoutVersionChangeNothing)
{
    kvtest::TempDir folder;
    const CString plain = folder.MakeFile("plain.dll", "MZ but nothing else");
    CULFileVersionInfo info(0x0409);
    EXPECT_FALSE(info.Load(kvtest::NativePath(KVLOG_TEST_DATA_DIR "\\missing.dll")));
    EXPECT_FALSE(info.Load(plain));
    EXPECT_FALSE(info.Load(nullptr));
    EXPECT_FALSE(info.IsLoaded());
    EXPECT_EQ(info.m_translations.GetCount(), 0);
    ExpectEmpty(info.m_defaultVersion);

    // After a load, a failing one reports the translations still held.
    ASSERT_TRUE(info.Load(kFixture));
    EXPECT_TRUE(info.Load(plain));
    EXPECT_EQ(info.m_translations.GetCount(), 2);
}

TEST(CULFileVersionInfo, LoadAppendsUntilCleared)
{
    CULFileVersionInfo info(0x0407);
    ASSERT_TRUE(info.Load(kFixture));
    ASSERT_TRUE(info.Load(kFixture));
    ASSERT_EQ(info.m_translations.GetCount(), 4);
    ExpectStrings(Record(info, 2), kEnglish);
    ExpectStrings(Record(info, 3), kGerman);

    info.Clear();
    EXPECT_FALSE(info.IsLoaded());
    EXPECT_EQ(info.m_translations.GetCount(), 0);
    // Only the language of the default record is emptied.
    EXPECT_STREQ(info.m_defaultVersion.m_language, "");
    EXPECT_STREQ(info.m_defaultVersion.m_companyName, kGerman.company);
}

TEST(CULFileVersionInfo, LanguageZeroPrefersTheUsersLanguage)
{
    const CULFileVersionInfo info;
    EXPECT_EQ(info.m_preferredLanguage, os::GetUserDefaultLangID());
    EXPECT_NE(info.m_preferredLanguage, 0);
}

TEST(CULFileVersion, ReadFillsOnlyWhatTheTranslationDefines)
{
    CULFileVersion version;
    version.m_legalCopyright = "kept";
    EXPECT_TRUE(version.Read(kFixture, "040704E4"));
    EXPECT_STREQ(version.m_companyName, kGerman.company);
    EXPECT_STREQ(version.m_legalCopyright, "kept");
    EXPECT_STREQ(version.m_language, "");

    // An unknown translation reads the file but finds no strings.
    CULFileVersion unknown;
    EXPECT_TRUE(unknown.Read(kFixture, "041104B0"));
    ExpectEmpty(unknown);
    EXPECT_FALSE(unknown.Read(kFixture, nullptr));
    EXPECT_FALSE(unknown.Read(KVLOG_TEST_DATA_DIR "/missing.dll", "040904B0"));
    ExpectEmpty(unknown);
}
