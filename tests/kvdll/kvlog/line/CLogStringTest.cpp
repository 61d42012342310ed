#include "line/CLogString.h"
#include "line/LogFormatting.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
TEST(LogStringTest, RendersValuesWithoutAFormat)
{
    CLogControl::CLogString element;
    element.SetText(nullptr);
    EXPECT_EQ("", element.GetText());
    element.SetDecimal(4294967295UL);
    EXPECT_EQ("4294967295", element.GetText());
    element.SetHex(0xabcUL);
    EXPECT_EQ("0xABC", element.GetText());
}

TEST(LogStringTest, FormatAppliesToEmptyValuesToo)
{
    CLogControl::CLogString element;
    element.SetFormat("%-4s", 0);
    element.SetText(nullptr);
    EXPECT_EQ("    ", element.GetText());
    element.SetFormat("%+5d", 0);
    element.SetDecimal(12);
    EXPECT_EQ("  +12", element.GetText());
}

// The elements pad by hand; every format a template can produce must read as printf reads it.
TEST(LogStringTest, HandRenderingMatchesPrintfForEveryTemplateFormat)
{
    const char* const textFormats[] = {"%-6s", "%+6s", "%6s", " %-6s", " %+3s", "%-0006s", "%s"};
    const char* const numberFormats[] = {"%-6d",  "%+6d",   "%+06d",  "%-06d",   "%d",
                                         "%-12d", "0x%-8X", "0x%+8X", "0x%+08X", "0x%X"};
    const char* const texts[] = {"", "ab", "abcdefgh"};
    const unsigned long numbers[] = {0UL, 7UL, 0x1A2CUL, 2147483648UL, 4294967295UL};
    CLogControl::CLogString element;
    char expected[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    for (const char* format : textFormats)
        for (const char* text : texts)
        {
            element.SetFormat(format, 0);
            element.SetText(text);
            std::snprintf(expected, sizeof(expected), format, text);
            EXPECT_EQ(expected, element.GetText()) << format << " " << text;
        }
    for (const char* format : numberFormats)
        for (unsigned long number : numbers)
        {
            element.SetFormat(format, 0);
            if (format[0] == '0')
                element.SetHex(number);
            else
                element.SetDecimal(number);
            std::snprintf(expected, sizeof(expected), format, static_cast<int>(number));
            EXPECT_EQ(expected, element.GetText()) << format << " " << number;
        }
#pragma GCC diagnostic pop
}

TEST(LogStringTest, TruncationKeepsWidthMinusThreeCharacters)
{
    CLogControl::CLogString element;
    element.SetFormat("%-3s", 4);
    element.SetText("abcdef");
    EXPECT_EQ("a...", element.Truncated());
    EXPECT_EQ("a...", element.GetText());
    element.SetText("abcd");
    EXPECT_EQ("abcd", element.Truncated());
    element.SetFormat("%s", 1);
    element.SetText("ab");
    EXPECT_EQ("...", element.Truncated());
}

TEST(LogFormattingTest, NumbersAndTimesAreRenderedLikeTheirPrintfForms)
{
    CString target;
    AppendDecimal(target, 0);
    AppendDecimal(target, 18446744073709551615ULL);
    AppendSignedDecimal(target, -9223372036854775807LL - 1);
    AppendHex(target, 0xFF0000, 6);
    AppendHex(target, 0xab, 6);
    EXPECT_EQ("018446744073709551615-9223372036854775808FF00000000AB", target);
    const SYSTEMTIME time = {987, 3, 0, 4, 5, 6, 7, 8};
    target.Empty();
    AppendDateTime(target, time);
    EXPECT_EQ("0987-03-04 05:06:07.008", target);
}

TEST(LogFormattingTest, FormatsIntoTheTargetAndReportsRejection)
{
    CString target("old text");
    EXPECT_TRUE(FormatInto(target, "%d-%s", 5, "x"));
    EXPECT_EQ("5-x", target);
    const char* noFormat = nullptr;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
    EXPECT_FALSE(FormatInto(target, noFormat));
#pragma GCC diagnostic pop
    EXPECT_EQ("", target);
}
} // namespace
