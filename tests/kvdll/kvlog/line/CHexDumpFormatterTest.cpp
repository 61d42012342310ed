#include "line/CHexDumpFormatter.h"
#include "settings/SettingRules.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

namespace
{
std::string Blanks(int count)
{
    return std::string(static_cast<std::size_t>(count), ' ');
}

// A dump with "@" in place of the address of the bytes, so that expected texts can be written out.
class HexDumpTest : public ::testing::Test
{
protected:
    std::string Dump(const std::string& bytes, const char* message = nullptr)
    {
        std::string text =
            formatter.Format(bytes.data(), static_cast<unsigned long>(bytes.size()), message).str();
        const std::string real = CHexDumpFormatter::FormatAddress(bytes.data()).str();
        for (std::size_t at; (at = text.find(real)) != std::string::npos;)
            text.replace(at, real.size(), "@");
        return text;
    }

    CHexDumpFormatter formatter;
};
} // namespace

// Without a message the dump is one row when it fits; with one, a row per line, indented. The
// address is upper case, zero-filled to the pointer's width.
TEST_F(HexDumpTest, RowsIndentsCellsAndTheBoundsOfEachLayout)
{
    const void* const address = reinterpret_cast<const void*>(std::uintptr_t{0x12FF7C});
    EXPECT_EQ(std::string(sizeof(void*) * 2 - 6, '0') + "12FF7C",
              CHexDumpFormatter::FormatAddress(address).str());
    const std::string head = "Dump: 0x@";
    EXPECT_EQ(head + "[3] ->\t0x41, 0x42, 0x43, " + Blanks(78) + "ABC", Dump("ABC"));
    EXPECT_EQ(head + "[0] ->\t\t", Dump(""));
    EXPECT_EQ("Dump: 0x" + std::string(sizeof(void*) * 2, '0') + "[5] ->\t\t",
              formatter.Format(nullptr, 5, nullptr).str());
    std::string bytes(20, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    const std::string row1 = "0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, "
                             "0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F";
    EXPECT_EQ("Reply\r\n\t\t\t" + head + "[20] ->\r\n\t\t\t" + row1 + "\t" + std::string(16, '.') +
                  "\r\n\t\t\t0x10, 0x11, 0x12, 0x13, " + Blanks(72) + "....",
              Dump(bytes, "Reply"));
    EXPECT_EQ("\r\n\t\t\t" + head + "[1] ->\r\n\t\t\t0x61, " + Blanks(90) + "a", Dump("a", ""));

    formatter.SetLayout(4, "0x%02X", 1);
    EXPECT_EQ(head + "[4] ->\t0x61, 0x62, 0x63, 0x64\tabcd", Dump("abcd"));
    EXPECT_EQ("\t" + head + "[5] ->\r\n\t0x61, 0x62, 0x63, 0x64\tabcd\r\n\t0x65, " + Blanks(18) +
                  "e",
              Dump("abcde"));
    formatter.SetLayout(2, "%02x", 0);
    EXPECT_EQ("m\r\n" + head + "[3] ->\r\nab, cd\t..\r\nff, " + Blanks(6) + ".",
              Dump("\xAB\xCD\xFF", "m"));
    // The column shows only what the C locale prints.
    formatter.SetLayout(5, "%02X", 0);
    EXPECT_EQ(head + "[5] ->\t00, 7F, C4, 20, 7E\t... ~",
              Dump(std::string("\x00\x7F\xC4\x20\x7E", 5)));
    formatter.SetLayout(0, "0x%02X", 3);
    EXPECT_EQ("", Dump("abc", "message"));

    // A cell is at most 64 characters: widths, precisions and the format's own text included.
    // A huge width is refused before anything is rendered with it.
    const std::string longText = std::string(64, 'x') + "%X";
    for (const char* format :
         {"%s", "%d %d", "%*d", "%", "%.65X", "%65X", "%999999999X", longText.c_str()})
        EXPECT_FALSE(IsUsableByteFormat(format)) << format;
    // The widest cell of "%x" is 0xFF's.
    const std::string fullCell = std::string(62, 'x') + "%x";
    for (const char* format : {"<%3d>", "%%%hhX", "%c", "%64X", "%.64d", fullCell.c_str()})
        EXPECT_TRUE(IsUsableByteFormat(format)) << format;
    formatter.SetLayout(1, "%64X", 0);
    EXPECT_EQ("Dump: 0x@[1] ->\t" + Blanks(62) + "41\tA", Dump("A"));
    formatter.SetLayout(1, "<<%64X>>", 0); // 68 characters: the default cell instead
    EXPECT_EQ("Dump: 0x@[1] ->\t0x41\tA", Dump("A"));
    formatter.SetLayout(2, "%s", 0);
    EXPECT_EQ("Dump: 0x@[1] ->\t0x41, " + Blanks(6) + "A", Dump("A"));
    // A wild row width is capped, and so is a wild indent: 1000 tabs before each of two rows.
    formatter.SetLayout(0xFFFFFFFFul, "0x%02X", 0xFFFFFFFFul);
    EXPECT_EQ(16u + 6 + 4095 * 6 + 1, Dump("A").size());
    EXPECT_EQ(Dump("A").size() + 3 + 2 * 1000, Dump("A", "").size());
}
