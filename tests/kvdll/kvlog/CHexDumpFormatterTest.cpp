#include "CHexDumpFormatter.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Fixed address, so that expected texts can be written out.
const void* const kAddress = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0x12FF7C));

std::string Address()
{
    return CHexDumpFormatter::FormatAddress(kAddress).str();
}

std::string Blanks(int count)
{
    return std::string(static_cast<std::size_t>(count), ' ');
}

// A dump of bytes that live at kAddress as far as the text is concerned.
class HexDumpTest : public ::testing::Test
{
protected:
    std::string Dump(const std::string& bytes, const char* message = nullptr)
    {
        m_bytes = bytes;
        std::string text =
            formatter.Format(m_bytes.data(), static_cast<unsigned long>(bytes.size()), message)
                .str();
        // Put the fixed address in place of the real one.
        const std::string real = CHexDumpFormatter::FormatAddress(m_bytes.data()).str();
        for (std::size_t at; (at = text.find(real)) != std::string::npos;)
            text.replace(at, real.size(), Address());
        return text;
    }

    CHexDumpFormatter formatter;

private:
    std::string m_bytes;
};
} // namespace

TEST(HexDumpAddressTest, UpperCaseZeroFilledToPointerWidth)
{
    const std::string text = Address();
    EXPECT_EQ(sizeof(void*) * 2, text.size());
    EXPECT_EQ(std::string(sizeof(void*) * 2 - 6, '0') + "12FF7C", text);
}

TEST_F(HexDumpTest, SingleRowWithDefaultLayout)
{
    EXPECT_EQ("Dump: 0x" + Address() + "[3] ->\t0x41, 0x42, 0x43, " + Blanks(78) + "ABC",
              Dump("ABC"));
    EXPECT_EQ("Dump: 0x" + Address() + "[0] ->\t\t", Dump(""));
}

TEST_F(HexDumpTest, MessageGivesMultiRowForm)
{
    std::string bytes;
    for (char b = 0; b < 20; ++b)
        bytes += b;
    std::string row1;
    for (int i = 0; i < 16; ++i)
        row1 += (i < 10 ? "0x0" + std::to_string(i) : std::string("0x0") + char('A' + i - 10)) +
                (i < 15 ? ", " : "");
    EXPECT_EQ("Reply\r\n\t\t\tDump: 0x" + Address() + "[20] ->\r\n\t\t\t" + row1 + "\t" +
                  std::string(16, '.') + "\r\n\t\t\t0x10, 0x11, 0x12, 0x13, " + Blanks(72) + "....",
              Dump(bytes, "Reply"));
    EXPECT_EQ("\r\n\t\t\tDump: 0x" + Address() + "[1] ->\r\n\t\t\t0x61, " + Blanks(90) + "a",
              Dump("a", ""));
}

TEST_F(HexDumpTest, RowBoundaries)
{
    formatter.SetLayout(4, "0x%02X", 1);
    EXPECT_EQ("Dump: 0x" + Address() + "[4] ->\t0x61, 0x62, 0x63, 0x64\tabcd", Dump("abcd"));
    EXPECT_EQ("\tDump: 0x" + Address() + "[5] ->\r\n\t0x61, 0x62, 0x63, 0x64\tabcd\r\n\t0x65, " +
                  Blanks(18) + "e",
              Dump("abcde"));
    EXPECT_EQ("\tDump: 0x" + Address() + "[8] ->\r\n\t0x61, 0x62, 0x63, 0x64\tabcd\r\n\t" +
                  "0x65, 0x66, 0x67, 0x68\tefgh",
              Dump("abcdefgh"));
}

TEST_F(HexDumpTest, ZeroIndentAndOtherByteFormat)
{
    formatter.SetLayout(2, "%02x", 0);
    EXPECT_EQ("m\r\nDump: 0x" + Address() + "[3] ->\r\nab, cd\t..\r\nef, " + Blanks(6) + ".",
              Dump("\xAB\xCD\xEF", "m"));
}

TEST_F(HexDumpTest, ZeroBytesPerRowGivesEmptyText)
{
    formatter.SetLayout(0, "0x%02X", 3);
    EXPECT_EQ("", Dump("abc", "message"));
}

TEST_F(HexDumpTest, ColumnShowsOnlyCLocalePrintables)
{
    formatter.SetLayout(5, "%02X", 0);
    EXPECT_EQ("Dump: 0x" + Address() + "[5] ->\t00, 7F, C4, 20, 7E\t... ~",
              Dump(std::string("\x00\x7F\xC4\x20\x7E", 5)));
}

TEST_F(HexDumpTest, UnsafeByteFormatsFallBackToDefault)
{
    for (const char* format : {"%s", "%d %d", "no conversion", "%ld", "%*d", "%n", "%"})
    {
        EXPECT_FALSE(CHexDumpFormatter::IsSafeByteFormat(format)) << format;
        formatter.SetLayout(2, format, 0);
        EXPECT_EQ("Dump: 0x" + Address() + "[1] ->\t0x41, " + Blanks(6) + "A", Dump("A")) << format;
    }
    for (const char* format : {"%02x", "<%3d>", "%%%hhX", "%-4o", "%c"})
        EXPECT_TRUE(CHexDumpFormatter::IsSafeByteFormat(format)) << format;
}

TEST_F(HexDumpTest, NullDataShowsHeadingOnly)
{
    EXPECT_EQ("Dump: 0x" + std::string(sizeof(void*) * 2, '0') + "[5] ->\t\t",
              formatter.Format(nullptr, 5, nullptr).str());
}

TEST_F(HexDumpTest, WildRowWidthIsCapped)
{
    formatter.SetLayout(0xFFFFFFFFul, "0x%02X", 0);
    EXPECT_EQ(15u + sizeof(void*) * 2 + 6 + 4095 * 6 + 1, Dump("A").size());
}
