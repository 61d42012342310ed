#include "TextFile.h"

#include "CFile.h"
#include "OsCodePage.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace
{
// Reads a file of these bytes into a text that held something before.
void ExpectRead(const std::string& bytes, int code, const CString& text)
{
    kvtest::TempDir dir;
    CString read = "stale";
    EXPECT_EQ(ReadTextFile(dir.MakeFile("t.txt", bytes), read), code) << bytes;
    EXPECT_STREQ(read, text) << bytes;
}
} // namespace

TEST(TextFile, TellsTheEncodingByItsMarkReadsOddFilesAndWritesEachEncoding)
{
    // 8-bit text is text in the code page; on Linux a byte of no UTF-8 sequence reads as the
    // ISO 8859-1 character, as everywhere.
    ExpectRead("plain caf\xE9", kTextFileAnsi, os::WideToAnsi(u"plain caf\u00E9"));
    // In UTF-8 each byte of no well-formed sequence reads as its ISO 8859-1 character.
    ExpectRead("\xEF\xBB\xBF<a>caf\xC3\xA9|\x80|\xE2\x82|\xC0\xAF|\xFF</a>", kTextFileUtf8,
               os::WideToAnsi(u"<a>caf\u00E9|\u0080|\u00E2\u0082|\u00C0\u00AF|\u00FF</a>"));
    ExpectRead(std::string("\xFF\xFE<\0\xE9\0", 6), kTextFileUtf16LE, os::WideToAnsi(u"<\u00E9"));
    ExpectRead(std::string("\xFE\xFF\0<\0\xE9", 6), kTextFileUtf16BE, os::WideToAnsi(u"<\u00E9"));
    ExpectRead(std::string("<\0a\0", 4), kTextFileUtf16LE, "<a");

    ExpectRead("", kTextFileFailed, "");
    ExpectRead("\xFE\xFF", kTextFileUtf16BE, "");
    // An odd byte count: the last half unit is dropped.
    ExpectRead(std::string("\xFF\xFE<\0b\0c", 7), kTextFileUtf16LE, "<b");
    // Short files and files with a zero byte further on are 8-bit text up to the zero.
    ExpectRead(std::string("a\0", 2), kTextFileAnsi, "a");
    ExpectRead(std::string("ab\0cd", 5), kTextFileAnsi, "ab");
    CString text;
    EXPECT_EQ(ReadTextFile(kvtest::TempDir().Sub("missing.txt"), text), kTextFileFailed);

    // Each encoding is written with its mark, unless the file is held.
    kvtest::TempDir dir;
    const CString path = dir.Sub("w.txt");
    const std::pair<int, std::string> cases[] = {
        {kTextFileAnsi, "x\xE9"},
        {kTextFileUtf8, "\xEF\xBB\xBFx\xC3\xA9"},
        {kTextFileUtf16LE, std::string("\xFF\xFEx\0\xE9\0", 6)},
        {kTextFileUtf16BE, std::string("\xFE\xFF\0x\0\xE9", 6)},
        {7, "x\xE9"},
    };
    for (const auto& [encoding, bytes] : cases)
    {
        ASSERT_EQ(WriteTextFile(path, "x\xE9", encoding), 1);
        EXPECT_EQ(kvtest::ReadWholeFile(path), bytes) << encoding;
    }
    EXPECT_EQ(WriteTextFile(dir.Sub("no\\such\\folder.txt"), "x", kTextFileUtf8), 0);

    // A held file can be neither read nor written.
    CFile holder;
    ASSERT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    EXPECT_EQ(ReadTextFile(path, text), kTextFileFailed);
    EXPECT_EQ(WriteTextFile(path, "lost", kTextFileAnsi), 0);
    holder.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(path), std::string("x\xE9"));
}
