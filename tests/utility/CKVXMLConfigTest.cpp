#include "CKVXMLConfig.h"

#include "CFile.h"
#include "OsTime.h"
#include "TestSupport.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace
{
const char kMark[] = "\xEF\xBB\xBF";
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

long long MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// Closes the held file after a short while.
std::thread ReleaseLater(CFile& holder)
{
    return std::thread(
        [&holder]
        {
            os::Sleep(150);
            holder.Close();
        });
}
} // namespace

TEST(CKVXMLConfig, CreatesAMissingFileOnSave)
{
    kvtest::TempDir dir;
    const CString path = dir.Sub("xdb_app.xdb");
    CKVXMLConfig config;
    EXPECT_FALSE(config.IsOpen());
    EXPECT_EQ(config.GetString("config", "Level", "dflt"), CString("dflt"));
    EXPECT_EQ(config.SetString("config", "Level", "1"), 0);
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_TRUE(config.IsOpen());
    EXPECT_EQ(config.IsModified(), 1);
    EXPECT_EQ(config.Open(path), 0);
    EXPECT_EQ(config.SetDWord("config", "Level", 15), 1);
    EXPECT_EQ(config.SetString("config", "Format", "x"), 1);
    ASSERT_EQ(config.Save(), 1);
    EXPECT_EQ(config.IsModified(), 0);
    EXPECT_EQ(kvtest::ReadWholeFile(path),
              std::string(kMark) + kDeclaration +
                  "<Korvel>\r\n\t<config\r\n\t\tLevel=\"15\" \r\n\t\tFormat=\"x\" \r\n\t>\r\n"
                  "\t</config>\r\n</Korvel>\r\n");
    config.Close();
    EXPECT_FALSE(config.IsOpen());
    EXPECT_EQ(config.Save(), 0);

    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.IsModified(), 0);
    EXPECT_EQ(config.GetDWord("config", "level", 0), 15u);
    EXPECT_EQ(config.GetString("CONFIG", "FORMAT", ""), CString("x"));
}

TEST(CKVXMLConfig, EntriesKeepTheirNamesAndSettersAlwaysMarkTheDocument)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("x.xdb", "<r><config Level=\"1\"></config></r>");
    CKVXMLConfig config;
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.IsModified(), 0);
    EXPECT_EQ(config.SetString("config", "LEVEL", "1"), 1);
    EXPECT_EQ(config.IsModified(), 1);
    const CULXMLData& document = config.GetDocument();
    EXPECT_STREQ(
        document.GetEntryName(document.FindAttribute(document.FindNode("config"), "level")),
        "Level");
    ASSERT_EQ(config.Save(), 1);

    EXPECT_EQ(config.AddDWord("config", "Level", 7), 1);
    EXPECT_EQ(config.IsModified(), 0);
    EXPECT_EQ(config.AddDWord("config", "New", 7), 1);
    EXPECT_EQ(config.IsModified(), 1);
    EXPECT_EQ(config.GetDWord("config", "new", 0), 7u);
    EXPECT_EQ(config.GetDWord("config", "missing", 3), 3u);
    EXPECT_EQ(config.GetDWord("absent", "Level", 4), 4u);
}

TEST(CKVXMLConfig, NumbersFollowTheDatabaseRules)
{
    kvtest::TempDir dir;
    CKVXMLConfig config;
    ASSERT_EQ(config.Open(dir.Sub("n.xdb")), 1);
    const struct
    {
        const char* text;
        unsigned long value;
    } cases[] = {{"0x1F", 31},    {"0X1F", 0},          {"12abc", 12},
                 {"abc", 0},      {"-1", 4294967295ul}, {"99999999999", 4294967295ul},
                 {" 1f0x", 0x1F0}};
    for (const auto& item : cases)
    {
        config.SetString("s", "v", item.text);
        EXPECT_EQ(config.GetDWord("s", "v", 5), item.value) << item.text;
    }
}

TEST(CKVXMLConfig, SectionsAreFoundAnywhereAndCreatedUnderTheRoot)
{
    kvtest::TempDir dir;
    const CString path =
        dir.MakeFile("s.xdb", "<root><outer><config Level=\"3\"></config></outer></root>");
    CKVXMLConfig config;
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetDWord("config", "Level", 0), 3u);
    EXPECT_EQ(config.GetSection("config"), config.GetDocument().FindNode("config"));
    EXPECT_EQ(config.IsModified(), 0);

    CULXMLData::CNode* motor = config.GetSection("Motor Control");
    ASSERT_NE(motor, nullptr);
    EXPECT_STREQ(config.GetDocument().GetNodeName(motor), "Motor_Control");
    EXPECT_EQ(config.GetDocument().GetParent(motor), config.GetDocument().GetRoot());
    EXPECT_EQ(config.IsModified(), 1);
    CULXMLData::CNode* deep = config.GetSection("outer\\new\\leaf");
    ASSERT_NE(deep, nullptr);
    EXPECT_STREQ(config.GetDocument().GetNodeName(config.GetDocument().GetParent(deep)), "new");
    EXPECT_EQ(config.GetSection("\\\\"), nullptr);
    config.SetDWord("Motor Control", "_Level", 1);
    ASSERT_EQ(config.Save(), 1);
    config.Close();

    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetDWord("Motor Control", "_Level", 0), 1u);
    EXPECT_NE(config.GetDocument().FindNodeByPath("root\\outer\\new\\leaf", "\\"), nullptr);
}

TEST(CKVXMLConfig, ForeignEncodingsAreWrittenBackAsUtf8)
{
    kvtest::TempDir dir;
    const CString path = dir.Sub("u.xdb");
    ASSERT_EQ(WriteTextFile(path, "<r><c v=\"1\"></c></r>", kTextFileUtf16BE), 1);
    CKVXMLConfig config;
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetDWord("c", "v", 0), 1u);
    config.SetDWord("c", "v", 1);
    ASSERT_EQ(config.Save(), 1);
    EXPECT_EQ(kvtest::ReadWholeFile(path).substr(0, 8), std::string(kMark) + "<?xml");
}

TEST(CKVXMLConfig, AFileThatCannotBeReadFailsAfterFiveAttempts)
{
    kvtest::TempDir dir;
    const CString empty = dir.MakeFile("empty.xdb");
    CKVXMLConfig config;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(config.Open(empty), 0);
    EXPECT_GE(MillisecondsSince(start), 450);
    EXPECT_FALSE(config.IsOpen());
    EXPECT_EQ(config.IsModified(), 0);
    EXPECT_EQ(kvtest::ReadWholeFile(empty), "");

    const CString held = dir.MakeFile("held.xdb", "<r></r>");
    CFile holder;
    ASSERT_TRUE(holder.Open(held, CFile::modeRead | CFile::shareExclusive));
    EXPECT_EQ(config.Open(held), 0);
    holder.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(held), "<r></r>");
}

TEST(CKVXMLConfig, RetriesBridgeAShortHold)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("busy.xdb", "<r><c v=\"2\"></c></r>");
    CFile holder;
    ASSERT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    std::thread release = ReleaseLater(holder);
    CKVXMLConfig config;
    const int opened = config.Open(path);
    release.join();
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(config.GetDWord("c", "v", 0), 2u);

    ASSERT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    config.SetDWord("c", "v", 3);
    std::thread releaseAgain = ReleaseLater(holder);
    const int saved = config.Save();
    releaseAgain.join();
    EXPECT_EQ(saved, 1);
    config.Close();
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetDWord("c", "v", 0), 3u);
}

TEST(CKVXMLConfig, AMalformedFileFailsAtOnceAndIsNeverRepaired)
{
    kvtest::TempDir dir;
    const std::string broken = "<r><c v=\"1\"></r>";
    const CString path = dir.MakeFile("bad.xdb", broken);
    CKVXMLConfig config;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(config.Open(path), 0);
    EXPECT_LT(MillisecondsSince(start), 400);
    EXPECT_EQ(config.SetString("c", "v", "2"), 0);
    EXPECT_EQ(config.Save(), 0);
    EXPECT_EQ(kvtest::ReadWholeFile(path), broken);
}

TEST(CKVXMLConfig, SaveFailsWhereTheFolderIsMissing)
{
    kvtest::TempDir dir;
    CKVXMLConfig config;
    ASSERT_EQ(config.Open(dir.Sub("gone\\x.xdb")), 1);
    config.SetDWord("c", "v", 1);
    EXPECT_EQ(config.Save(), 0);
    EXPECT_EQ(config.IsModified(), 1);
}
