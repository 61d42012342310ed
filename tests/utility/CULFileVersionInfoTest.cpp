#include "CULFileVersionInfo.h"
#include "OsFileVersion.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const char* const kFixture = KVLOG_TEST_DATA_DIR "/versionfixture.dll";

// The fixture's English translation as Fields gives it.
const char kEnglish[] = "Example Instruments Ltd|Version fixture library|1.2.3.4|versionfixture|"
                        "Copyright Example Instruments|versionfixture.dll|Fixture Suite|1.2";
// German strings over the English ones: the copyright only the English translation has stays.
const std::string kGermanFirst = "Beispielgeraete GmbH|Versionsbibliothek zum Testen|1.2.3.4 de|"
                                 "versionfixture-de|Copyright Example Instruments|"
                                 "versionfixture.dll|Testpaket|1.2 de";

// The eight version strings and the language, separated by "|".
std::string Fields(const CULFileVersion& v, bool withLanguage = false)
{
    const CString text = v.m_companyName + "|" + v.m_fileDescription + "|" + v.m_fileVersion + "|" +
                         v.m_internalName + "|" + v.m_legalCopyright + "|" + v.m_originalFilename +
                         "|" + v.m_productName + "|" + v.m_productVersion;
    return withLanguage ? (text + "|" + v.m_language).str() : text.str();
}
} // namespace

TEST(CULFileVersionInfo, PreferredLanguageOverlaysTheFirstTranslationAndLoadsAppend)
{
    CULFileVersionInfo info(0x0407, 0x04E4);
    ASSERT_TRUE(info.Load(kFixture));
    ASSERT_EQ(info.m_translations.GetCount(), 2);
    // The system words a language's name in its own way; the language comes first.
    const CString& language = info.m_translations.GetTail()->m_language;
    EXPECT_EQ(language.Find("German"), 0) << language;
    EXPECT_EQ(Fields(info.m_defaultVersion), kGermanFirst);

    // A failing load reports the translations still held; loads append until cleared, which
    // empties only the language of the default record.
    EXPECT_TRUE(info.Load(nullptr));
    ASSERT_TRUE(info.Load(kFixture));
    EXPECT_EQ(info.m_translations.GetCount(), 4);
    info.Clear();
    EXPECT_FALSE(info.IsLoaded());
    EXPECT_EQ(Fields(info.m_defaultVersion, true), kGermanFirst + "|");

    // Files without a version load nothing; an absent language keeps the first translation;
    // language 0 stands for the user's.
    EXPECT_EQ(CULFileVersionInfo().m_preferredLanguage, os::GetUserDefaultLangID());
    CULFileVersionInfo absent(0x0411, 0);
    kvtest::TempDir folder;
    EXPECT_FALSE(absent.Load(kvtest::NativePath(KVLOG_TEST_DATA_DIR "\\missing.dll")));
    EXPECT_FALSE(absent.Load(folder.MakeFile("plain.dll", "MZ but nothing else")));
    EXPECT_EQ(Fields(absent.m_defaultVersion, true), "||||||||");
    ASSERT_TRUE(absent.Load(kFixture));
    EXPECT_EQ(Fields(absent.m_defaultVersion), kEnglish);
}
