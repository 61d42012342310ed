#include "CULFileVersionInfo.h"
#include "OsFileVersion.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const char* const kFixture = KVLOG_TEST_DATA_DIR "/versionfixture.dll";

// The fixture's translations as Fields gives them.
const char kEnglish[] = "Example Instruments Ltd|Version fixture library|1.2.3.4|versionfixture|"
                        "Copyright Example Instruments|versionfixture.dll|Fixture Suite|1.2";
const char kGerman[] = "Beispielgeraete GmbH|Versionsbibliothek zum Testen|1.2.3.4 de|"
                       "versionfixture-de||versionfixture.dll|Testpaket|1.2 de";
const char kNone[] = "||||||||";

// The eight version strings and the language, separated by "|".
std::string Fields(const CULFileVersion& v, bool withLanguage = false)
{
    const CString text = v.m_companyName + "|" + v.m_fileDescription + "|" + v.m_fileVersion + "|" +
                         v.m_internalName + "|" + v.m_legalCopyright + "|" + v.m_originalFilename +
                         "|" + v.m_productName + "|" + v.m_productVersion;
    return withLanguage ? (text + "|" + v.m_language).str() : text.str();
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
    ASSERT_EQ(info.m_translations.GetCount(), 2);
    EXPECT_EQ(Fields(Record(info, 0)), kEnglish);
    EXPECT_EQ(Fields(Record(info, 1)), kGerman);
    // The system words a language's name in its own way; the language comes first.
    EXPECT_EQ(Record(info, 0).m_language.Find("English"), 0) << Record(info, 0).m_language;
    EXPECT_EQ(Record(info, 1).m_language.Find("German"), 0) << Record(info, 1).m_language;

    // German strings; the copyright that only the English translation has stays.
    EXPECT_EQ(Fields(info.m_defaultVersion),
              "Beispielgeraete GmbH|Versionsbibliothek zum Testen|1.2.3.4 de|versionfixture-de|"
              "Copyright Example Instruments|versionfixture.dll|Testpaket|1.2 de");

    // An absent language keeps the first translation; language 0 stands for the user's.
    EXPECT_EQ(CULFileVersionInfo().m_preferredLanguage, os::GetUserDefaultLangID());
    CULFileVersionInfo absent(0x0411, 0);
    ASSERT_TRUE(absent.Load(kFixture));
    EXPECT_EQ(Fields(absent.m_defaultVersion), kEnglish);
}

TEST(CULFileVersionInfo, FilesWithoutVersionChangeNothingAndLoadsAppend)
{
    kvtest::TempDir folder;
    const CString plain = folder.MakeFile("plain.dll", "MZ but nothing else");
    CULFileVersionInfo info(0x0409);
    EXPECT_FALSE(info.Load(kvtest::NativePath(KVLOG_TEST_DATA_DIR "\\missing.dll")));
    EXPECT_FALSE(info.Load(plain));
    EXPECT_FALSE(info.Load(nullptr));
    EXPECT_EQ(info.m_translations.GetCount(), 0);
    EXPECT_EQ(Fields(info.m_defaultVersion, true), kNone);

    // After a load, a failing one reports the translations still held.
    ASSERT_TRUE(info.Load(kFixture));
    EXPECT_TRUE(info.Load(plain));
    EXPECT_EQ(info.m_translations.GetCount(), 2);

    // Loads append until cleared.
    info.m_preferredLanguage = 0x0407;
    ASSERT_TRUE(info.Load(kFixture));
    ASSERT_EQ(info.m_translations.GetCount(), 4);
    EXPECT_EQ(Fields(Record(info, 2)), kEnglish);

    info.Clear();
    EXPECT_FALSE(info.IsLoaded());
    // Only the language of the default record is emptied.
    EXPECT_STREQ(info.m_defaultVersion.m_language, "");
    EXPECT_STREQ(info.m_defaultVersion.m_companyName, "Beispielgeraete GmbH");
}

TEST(CULFileVersion, ReadFillsOnlyWhatTheTranslationDefines)
{
    CULFileVersion version;
    version.m_legalCopyright = "kept";
    EXPECT_TRUE(version.Read(kFixture, "040704E4"));
    EXPECT_EQ(Fields(version, true),
              "Beispielgeraete GmbH|Versionsbibliothek zum Testen|1.2.3.4 de|versionfixture-de|"
              "kept|versionfixture.dll|Testpaket|1.2 de|");

    // An unknown translation reads the file but finds no strings.
    CULFileVersion unknown;
    EXPECT_TRUE(unknown.Read(kFixture, "041104B0"));
    EXPECT_FALSE(unknown.Read(kFixture, nullptr));
    EXPECT_EQ(Fields(unknown, true), kNone);
}
