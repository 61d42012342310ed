#include "CFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(CFile, WritesSeeksAndResizes)
{
    kvtest::TempDir dir;
    const CString path = dir.Sub("data.bin");
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyNone));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.Write("hello world", 11));
    EXPECT_EQ(file.GetLength(), 11u);
    EXPECT_EQ(file.Seek(6, CFile::begin), 6);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 5u);
    EXPECT_STREQ(buffer, "world");
    EXPECT_TRUE(file.SetLength(5));
    EXPECT_EQ(file.GetLength(), 5u);
    EXPECT_EQ(file.SeekToEnd(), 5);
    EXPECT_TRUE(file.Write("!", 1));
    EXPECT_TRUE(file.Flush());
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(kvtest::ReadWholeFile(path), "hello!");
}

TEST(CFile, CreateTruncatesUnlessToldNotTo)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("keep.txt", "abc");
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 3u);
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
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CFile, ExclusiveOpenKeepsOthersOutUntilClosed)
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
}

TEST(CFile, SharedOpensSeeEachOthersWrites)
{
    kvtest::TempDir dir;
    const CString path = dir.Sub("log.htm");
    const unsigned flags =
        CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite | CFile::shareDenyNone;
    CFile writer;
    CFile reader;
    ASSERT_TRUE(writer.Open(path, flags));
    ASSERT_TRUE(reader.Open(path, flags));
    EXPECT_TRUE(writer.Write("line\r\n", 6));
    EXPECT_EQ(reader.GetLength(), 6u);
}
