#include "TextFile.h"

#include "CFile.h"
#include "TestSupport.h"
#include "Utf8Encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Reads a file of these bytes into a text that held something before.
void ExpectRead(const std::string& bytes, int code, const char* text)
{
    kvtest::TempDir dir;
    CString read = "stale";
    EXPECT_EQ(ReadTextFile(dir.MakeFile("t.txt", bytes), read), code) << bytes;
    EXPECT_STREQ(read, text) << bytes;
}
} // namespace

TEST(TextFile, TellsTheEncodingByItsMark)
{
    ExpectRead("plain caf\xE9", kTextFileAnsi, "plain caf\xE9");
    ExpectRead("\xEF\xBB\xBF<a>caf\xC3\xA9</a>", kTextFileUtf8, "<a>caf\xE9</a>");
    ExpectRead(std::string("\xFF\xFE<\0\xE9\0", 6), kTextFileUtf16LE, "<\xE9");
    ExpectRead(std::string("\xFE\xFF\0<\0\xE9", 6), kTextFileUtf16BE, "<\xE9");
    ExpectRead(std::string("<\0a\0", 4), kTextFileUtf16LE, "<a");
}

TEST(TextFile, OddAndEmptyFiles)
{
    ExpectRead("", kTextFileFailed, "");
    ExpectRead("\xFE\xFF", kTextFileUtf16BE, "");
    // An odd byte count: the last half unit is dropped.
    ExpectRead(std::string("\xFF\xFE<\0b\0c", 7), kTextFileUtf16LE, "<b");
    // Short files and files with a zero byte further on are 8-bit text up to the zero.
    ExpectRead(std::string("a\0", 2), kTextFileAnsi, "a");
    ExpectRead(std::string("ab\0cd", 5), kTextFileAnsi, "ab");
    CString text;
    EXPECT_EQ(ReadTextFile(kvtest::TempDir().Sub("missing.txt"), text), kTextFileFailed);
}

TEST(TextFile, WritesEachEncodingWithItsMark)
{
    kvtest::TempDir dir;
    const CString path = dir.Sub("w.txt");
    const struct
    {
        int encoding;
        std::string bytes;
    } cases[] = {
        {kTextFileAnsi, "x\xE9"},
        {kTextFileUtf8, "\xEF\xBB\xBFx\xC3\xA9"},
        {kTextFileUtf16LE, std::string("\xFF\xFEx\0\xE9\0", 6)},
        {kTextFileUtf16BE, std::string("\xFE\xFF\0x\0\xE9", 6)},
        {7, "x\xE9"},
    };
    for (const auto& item : cases)
    {
        ASSERT_EQ(WriteTextFile(path, "x\xE9", item.encoding), 1);
        EXPECT_EQ(kvtest::ReadWholeFile(path), item.bytes) << item.encoding;
    }
    EXPECT_EQ(WriteTextFile(dir.Sub("no\\such\\folder.txt"), "x", kTextFileUtf8), 0);
}

TEST(TextFile, HeldFilesCannotBeReadOrWritten)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("held.txt", "keep");
    CFile holder;
    ASSERT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    CString text;
    EXPECT_EQ(ReadTextFile(path, text), kTextFileFailed);
    EXPECT_EQ(WriteTextFile(path, "lost", kTextFileAnsi), 0);
    holder.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(path), "keep");
}

TEST(Utf8Encoding, EncodesEachUnitOnItsOwnAndDecodesLeniently)
{
    EXPECT_STREQ(EncodeUtf8(u"A\u00E9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
    // A surrogate pair becomes two three-byte sequences.
    EXPECT_STREQ(EncodeUtf8(u"\U0001F600"), "\xED\xA0\xBD\xED\xB8\x80");

    const auto decode = [](const std::string& bytes)
    { return DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()); };
    EXPECT_EQ(decode("A\xC3\xA9\xE2\x82\xAC"), u"A\u00E9\u20AC");
    EXPECT_EQ(decode("\xF0\x9F\x98\x80!"), u"\uFFFD!");
    // Bytes that start no complete sequence stand for themselves.
    EXPECT_EQ(decode("\xE9t\xC3"), u"\u00E9t\u00C3");
    EXPECT_EQ(decode("\x80\xFF"), u"\u0080\u00FF");
}
