#include "CKVXMLConfig.h"

#include "CFile.h"
#include "OsCodePage.h"
#include "OsTime.h"
#include "TestSupport.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

namespace
{
const char kMark[] = "\xEF\xBB\xBF";
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

class CKVXMLConfigTest : public ::testing::Test
{
protected:
    kvtest::TempDir dir;
    CKVXMLConfig config;
};
} // namespace

TEST_F(CKVXMLConfigTest, CreatesAMissingFileOnSave)
{
    const CString path = dir.Sub("xdb_app.xdb");
    EXPECT_EQ(config.SetString("config", "Level", "1"), 0);
    // A first open that saves nothing leaves nothing that a later open fails on, and the
    // leftover of a killed save stands in no later save's way.
    ASSERT_EQ(config.Open(path), 1);
    config.Close();
    dir.MakeFile("xdb_app.xdb.new", "cut short");
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.IsModified(), 1);
    EXPECT_EQ(config.Open(path), 0);
    EXPECT_EQ(config.SetDWord("config", "Level", 15), 1);
    EXPECT_EQ(config.SetString("config", "Format", "x"), 1);
    ASSERT_EQ(config.Save(), 1);
    EXPECT_EQ(config.IsModified(), 0);
    config.Close(); // the file is held until then
    EXPECT_EQ(kvtest::ReadWholeFile(path),
              std::string(kMark) + kDeclaration +
                  "<Korvel>\r\n\t<config\r\n\t\tLevel=\"15\" \r\n\t\tFormat=\"x\" \r\n\t>\r\n"
                  "\t</config>\r\n</Korvel>\r\n");
    EXPECT_EQ(config.Save(), 0);
}

TEST_F(CKVXMLConfigTest, SettersMarkTheDocumentButAddOnlyANewEntry)
{
    const CString path = dir.MakeFile("x.xdb", "<r><config Level=\"1\"></config></r>");
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.SetString("config", "LEVEL", "1"), 1);
    EXPECT_EQ(config.IsModified(), 1);
    ASSERT_EQ(config.Save(), 1);

    EXPECT_EQ(config.AddDWord("config", "Level", 7), 1);
    EXPECT_EQ(config.IsModified(), 0);
    EXPECT_EQ(config.AddDWord("config", "New", 7), 1);
    EXPECT_EQ(config.IsModified(), 1);
}

TEST_F(CKVXMLConfigTest, SectionsAreFoundAnywhereAndCreatedUnderTheRoot)
{
    const CString path =
        dir.MakeFile("s.xdb", "<root><outer><config Level=\"3\"></config></outer></root>");
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetDWord("config", "Level", 0), 3u);

    CULXMLData::CNode* motor = config.GetSection("Motor Control");
    ASSERT_NE(motor, nullptr);
    EXPECT_STREQ(config.GetDocument().GetNodeName(motor), "Motor_Control");
    EXPECT_EQ(config.GetDocument().GetParent(motor), config.GetDocument().GetRoot());
    EXPECT_EQ(config.IsModified(), 1);
    CULXMLData::CNode* deep = config.GetSection("outer\\new\\leaf");
    ASSERT_NE(deep, nullptr);
    EXPECT_STREQ(config.GetDocument().GetNodeName(config.GetDocument().GetParent(deep)), "new");
    EXPECT_EQ(config.GetSection("\\\\"), nullptr);
}

TEST_F(CKVXMLConfigTest, ForeignEncodingsAreWrittenBackAsUtf8)
{
    const CString path = dir.Sub("u.xdb");
    ASSERT_EQ(WriteTextFile(path, "<r><c v=\"1\"></c></r>", kTextFileUtf16BE), 1);
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetDWord("c", "v", 0), 1u);
    config.SetDWord("c", "v", 1);
    ASSERT_EQ(config.Save(), 1);
    config.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(path).substr(0, 8), std::string(kMark) + "<?xml");
}

TEST_F(CKVXMLConfigTest, AFileThatCannotBeReadFailsAfterFiveAttempts)
{
    const CString empty = dir.MakeFile("empty.xdb");
    const DWORD start = os::GetTickCount();
    EXPECT_EQ(config.Open(empty), 0);
    EXPECT_GE(os::GetTickCount() - start, 450u);
    EXPECT_EQ(kvtest::ReadWholeFile(empty), "");
}

TEST_F(CKVXMLConfigTest, RetriesBridgeAShortHold)
{
    const CString path = dir.MakeFile("busy.xdb", "<r><c v=\"2\"></c></r>");
    CFile holder;
    ASSERT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    std::thread release(
        [&holder]
        {
            os::Sleep(150);
            holder.Close();
        });
    const int opened = config.Open(path);
    release.join();
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(config.GetDWord("c", "v", 0), 2u);

    // From the read to the close nobody else gets the file, the saved one included.
    EXPECT_FALSE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    config.SetDWord("c", "v", 3);
    EXPECT_EQ(config.Save(), 1);
    EXPECT_FALSE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    config.Close();
    EXPECT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
}

TEST_F(CKVXMLConfigTest, AMalformedFileFailsAtOnceAndIsNeverRepairedNorSavedToAMissingFolder)
{
    const std::string broken = "<r><c v=\"1\"></r>";
    const CString path = dir.MakeFile("bad.xdb", broken);
    const DWORD start = os::GetTickCount();
    EXPECT_EQ(config.Open(path), 0);
    EXPECT_LT(os::GetTickCount() - start, 400u);
    EXPECT_EQ(config.SetString("c", "v", "2"), 0);
    EXPECT_EQ(config.Save(), 0);
    EXPECT_EQ(kvtest::ReadWholeFile(path), broken);

    ASSERT_EQ(config.Open(dir.Sub("gone\\x.xdb")), 1);
    config.SetDWord("c", "v", 1);
    EXPECT_EQ(config.Save(), 0);
    EXPECT_EQ(config.IsModified(), 1);
}

// A link at the settings file's path is refused rather than followed: its target stays as it is.
TEST_F(CKVXMLConfigTest, ALinkAtTheFilesPathIsNotFollowed)
{
    const CString victim = dir.MakeFile("victim.txt", "<r></r>");
    std::error_code error;
    std::filesystem::create_symlink(victim.GetString(), dir.Sub("xdb_app.xdb").GetString(), error);
    if (error)
        GTEST_SKIP() << "no symbolic links here";
    EXPECT_EQ(config.Open(dir.Sub("xdb_app.xdb")), 0);
    EXPECT_EQ(WriteTextFile(dir.Sub("xdb_app.xdb"), "x", kTextFileAnsi), 0);
    EXPECT_EQ(kvtest::ReadWholeFile(victim), "<r></r>");
}

#ifndef _WIN32
// A save that stops part way (here at a file-size limit) leaves the previous file whole and
// readable, and nothing of the new content behind.
TEST_F(CKVXMLConfigTest, ASaveCutShortLeavesThePreviousFileWhole)
{
    const CString path = dir.Sub("xdb_app.xdb");
    ASSERT_EQ(config.Open(path), 1);
    config.SetString("config", "Level", "15");
    ASSERT_EQ(config.Save(), 1);
    const std::string before = kvtest::ReadWholeFile(path);
    for (int i = 0; i < 100; ++i)
        config.SetDWord("UserDefined", ("Key" + std::to_string(i)).c_str(), 4000000000UL);

    // The child's save meets the limit; the parent then finds what it left behind.
    EXPECT_TRUE(kvtest::RunWithFileSizeLimit(
        400, [&](const kvtest::LiftLimit&) { return config.Save() == 0 && config.IsModified(); }));
    config.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(path), before);
    EXPECT_EQ(kvtest::ReadWholeFile(path + ".new"), "");
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetString("config", "Level", ""), "15");
}
#endif

TEST_F(CKVXMLConfigTest, AnyTextRoundTripsAndTheFileStaysReadable)
{
    const CString path = dir.Sub("xdb_app.xdb");
    const char* const values[] = {
        "5\" screen",        "a & b <c> 'd'",     "tab\there", "two\r\nlines\n",
        "&amp; stays &amp;", "&#65; &bogus; & ;", ""};
    ASSERT_EQ(config.Open(path), 1);
    int index = 0;
    for (const char* value : values)
        config.SetString("UserDefined", ("Key" + std::to_string(index++)).c_str(), value);
    ASSERT_EQ(config.Save(), 1);
    config.Close();

    CKVXMLConfig next;
    ASSERT_EQ(next.Open(path), 1) << next.GetLastError().str();
    index = 0;
    for (const char* value : values)
        EXPECT_EQ(
            next.GetString("UserDefined", ("Key" + std::to_string(index++)).c_str(), "?").str(),
            value);
}

TEST_F(CKVXMLConfigTest, ReferencesInAnEditedFileAreDecodedAndUnknownOnesKeptAsWritten)
{
    const CString path = dir.Sub("xdb_app.xdb");
    kvtest::WriteWholeFile(
        path, "<Korvel>\r\n<config\r\nA=\"&lt;&gt;&quot;&apos;&amp;&#x41;&#66;\" "
              "B=\"&nbsp; &#200; &#; &#x; &amp & &#-5; &#99999999; &#0; &#128;\" \r\n>\r\n"
              "</config>\r\n</Korvel>\r\n");
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetString("config", "A", "").str(), "<>\"'&AB");
    EXPECT_EQ(config.GetString("config", "B", "").str(),
              "&nbsp; &#200; &#; &#x; &amp & &#-5; &#99999999; &#0; &#128;");
}

// Text is encoded once on its way into the file and comes back equal.
TEST_F(CKVXMLConfigTest, TextIsEncodedOnceAndComesBackEqual)
{
    const CString path = dir.Sub("xdb_app.xdb");
    std::u16string wide = u"Gr\u00F6\u00DFe \u20AC";
    std::string utf8 = "Gr\xC3\xB6\xC3\x9F"
                       "e \xE2\x82\xAC";
#ifndef _WIN32
    wide += u" \U0001F600"; // no Windows code page holds it
    utf8 += " \xF0\x9F\x98\x80";
#endif
    const CString text = os::WideToAnsi(wide);
    ASSERT_EQ(config.Open(path), 1);
    config.SetString("UserDefined", "Text", text);
    ASSERT_EQ(config.Save(), 1);
    config.Close();
    EXPECT_NE(kvtest::ReadWholeFile(path).find("Text=\"" + utf8 + "\""), std::string::npos);
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetString("UserDefined", "Text", ""), text);
}

// Every operation reads and writes the whole file: one past 16 MiB is neither read nor made.
TEST_F(CKVXMLConfigTest, NoFileLargerThan16MiBIsReadOrWritten)
{
    const CString path = dir.Sub("big.xdb");
    ASSERT_EQ(config.Open(path), 1);
    config.SetString("UserDefined", "Small", "1");
    ASSERT_EQ(config.Save(), 1);
    config.Close(); // Windows lets no one read a held file
    const std::string before = kvtest::ReadWholeFile(path);
    ASSERT_EQ(config.Open(path), 1);
    config.SetString("UserDefined", "Big", std::string(16 * 1024 * 1024, 'x').c_str());
    EXPECT_EQ(config.Save(), 0);
    config.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(path), before);

    std::filesystem::resize_file(path.GetString(), 16 * 1024 * 1024 + 1);
    EXPECT_EQ(config.Open(path), 0);
    EXPECT_EQ(config.GetLastError(), "the file is larger than 16 MiB");
}
