#include "TextFile.h"

#include "CFile.h"
#include "TestSupport.h"
#include "Utf8Encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct ReadResult
{
    int code;
    std::string text;
};

ReadResult ReadBytes(const std::string& bytes)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("t.txt", bytes);
    CString text = "stale";
    const int code = ReadTextFile(path, text);
    return {code, text.str()};
}

std::string Utf16(const std::u16string& text, bool bigEndian)
{
    std::string bytes;
    for (const char16_t unit : text)
    {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}
} // namespace

TEST(TextFile, TellsTheEncodingByItsMark)
{
    const ReadResult ansi = ReadBytes("plain caf\xE9");
    EXPECT_EQ(ansi.code, kTextFileAnsi);
    EXPECT_EQ(ansi.text, "plain caf\xE9");

    const ReadResult utf8 = ReadBytes("\xEF\xBB\xBF<a>caf\xC3\xA9</a>");
    EXPECT_EQ(utf8.code, kTextFileUtf8);
    EXPECT_EQ(utf8.text, "<a>caf\xE9</a>");

    const ReadResult le = ReadBytes("\xFF\xFE" + Utf16(u"<a>\u00E9</a>", false));
    EXPECT_EQ(le.code, kTextFileUtf16LE);
    EXPECT_EQ(le.text, "<a>\xE9</a>");

    const ReadResult be = ReadBytes("\xFE\xFF" + Utf16(u"<a>\u00E9</a>", true));
    EXPECT_EQ(be.code, kTextFileUtf16BE);
    EXPECT_EQ(be.text, "<a>\xE9</a>");

    const ReadResult unmarked = ReadBytes(Utf16(u"<a></a>", false));
    EXPECT_EQ(unmarked.code, kTextFileUtf16LE);
    EXPECT_EQ(unmarked.text, "<a></a>");
}

TEST(TextFile, OddAndEmptyFiles)
{
    const ReadResult empty = ReadBytes("");
    EXPECT_EQ(empty.code, kTextFileFailed);
    EXPECT_EQ(empty.text, "");
    for (const char* mark : {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"})
    {
        const ReadResult bare = ReadBytes(mark);
        EXPECT_NE(bare.code, kTextFileFailed);
        EXPECT_EQ(bare.text, "");
    }
    // An odd byte count: the last half unit is dropped.
    const ReadResult odd = ReadBytes("\xFF\xFE" + Utf16(u"ab", false) + "c");
    EXPECT_EQ(odd.text, "ab");
    // Short files and files with a zero byte further on are 8-bit text up to the zero.
    EXPECT_EQ(ReadBytes(std::string("a\0", 2)).code, kTextFileAnsi);
    const ReadResult cut = ReadBytes(std::string("ab\0cd", 5));
    EXPECT_EQ(cut.code, kTextFileAnsi);
    EXPECT_EQ(cut.text, "ab");
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
        CString back;
        ReadTextFile(path, back);
        EXPECT_STREQ(back, "x\xE9") << item.encoding;
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

TEST(Utf8Encoding, EncodesEachUnitOnItsOwn)
{
    EXPECT_STREQ(EncodeUtf8(u"A\u00E9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
    // A surrogate pair becomes two three-byte sequences.
    EXPECT_STREQ(EncodeUtf8(u"\U0001F600"), "\xED\xA0\xBD\xED\xB8\x80");
}

TEST(Utf8Encoding, DecodesLeniently)
{
    const auto decode = [](const std::string& bytes)
    { return DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()); };
    EXPECT_EQ(decode("A\xC3\xA9\xE2\x82\xAC"), u"A\u00E9\u20AC");
    EXPECT_EQ(decode("\xF0\x9F\x98\x80!"), u"\uFFFD!");
    EXPECT_EQ(decode("\xFC\x80\x80\x80\x80\x80"), u"\uFFFD");
    // Bytes that start no complete sequence stand for themselves.
    EXPECT_EQ(decode("\xE9t\xC3"), u"\u00E9t\u00C3");
    EXPECT_EQ(decode("\x80\xFF"), u"\u0080\u00FF");
}
