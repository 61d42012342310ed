#include "CFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(CFile, WritesSeeksResizesAndTruncates)
{
    kvtest::TempDir dir;
    const CString path = dir.Sub("data.bin");
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyNone));
    EXPECT_TRUE(file.Write("hello world", 11));
    EXPECT_EQ(file.GetLength(), 11u);
    EXPECT_EQ(file.Seek(6, CFile::begin), 6);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 5u);
    EXPECT_STREQ(buffer, "world");
    EXPECT_TRUE(file.SetLength(5));
    EXPECT_EQ(file.SeekToEnd(), 5);
    EXPECT_TRUE(file.Write("!", 1));
    file.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(path), "hello!");

    // Create truncates unless told not to.
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 6u);
    file.Close();
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CFile, OpenFailuresAreReportedNotThrown)
{
    kvtest::TempDir dir;
    CFile file;
    EXPECT_FALSE(file.Open(dir.Sub("missing.txt"), CFile::modeRead));
    EXPECT_NE(file.GetLastError(), 0u);
    EXPECT_FALSE(
        file.Open(dir.Sub("no\\such\\folder\\x.txt"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(file.Open(dir.Path(), CFile::modeRead)); // a folder is not a file
    EXPECT_FALSE(file.IsOpen());
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 0u);
    EXPECT_FALSE(file.Write("x", 1));
}

TEST(CFile, ExclusiveOpenKeepsOthersOutSharedOpensDoNot)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("settings.xdb", "content");
    CFile holder;
    ASSERT_TRUE(holder.Open(path, CFile::modeReadWrite | CFile::shareExclusive));

    CFile second;
    EXPECT_FALSE(second.Open(path, CFile::modeRead | CFile::shareExclusive));
    // A truncating exclusive open must not clear the file that another one holds.
    EXPECT_FALSE(second.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    EXPECT_EQ(holder.GetLength(), 7u);

    holder.Close();
    EXPECT_TRUE(second.Open(path, CFile::modeRead | CFile::shareExclusive));

    // Shared opens see each other's writes.
    const unsigned flags =
        CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite | CFile::shareDenyNone;
    CFile writer, reader;
    ASSERT_TRUE(writer.Open(dir.Sub("log.htm"), flags) && reader.Open(dir.Sub("log.htm"), flags));
    EXPECT_TRUE(writer.Write("line\r\n", 6));
    EXPECT_EQ(reader.GetLength(), 6u);
}

TEST(CFile, NoFollowOpensFilesAndRefusesLinks)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("log.htm", "old");
    const unsigned flags = CFile::modeCreate | CFile::modeReadWrite | CFile::noFollow;
    CFile file;
    ASSERT_TRUE(file.Open(path, flags));
    EXPECT_EQ(file.GetLength(), 0u); // still truncates a plain file
    ASSERT_TRUE(file.Open(path, flags | CFile::modeNoTruncate));
    EXPECT_TRUE(file.Write("kept", 4));
    file.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(path), "kept");

    std::error_code error;
    std::filesystem::create_symlink(path.GetString(), dir.Sub("link.htm").GetString(), error);
    if (error)
        GTEST_SKIP() << "no symbolic links here";
    EXPECT_FALSE(file.Open(dir.Sub("link.htm"), flags));
    EXPECT_FALSE(file.Open(dir.Sub("link.htm"), CFile::modeRead | CFile::noFollow));
    EXPECT_EQ(kvtest::ReadWholeFile(path), "kept");
    EXPECT_TRUE(file.Open(dir.Sub("link.htm"), CFile::modeRead));
}
