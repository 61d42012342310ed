#include "line/CLogString.h"
#include "line/LogFormatting.h"

#include <gtest/gtest.h>

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
