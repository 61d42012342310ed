#include "CString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// Positions outside the text are clamped.
TEST(CString, FormatBufferAndPositions)
{
    CString text;
    const std::string big(10000, 'x');
    text.Format("%s-%d", big.c_str(), 42);
    EXPECT_EQ(text.GetLength(), 10003);
    EXPECT_EQ(text.Right(3), "-42");
    text.Format(nullptr);
    EXPECT_TRUE(text.IsEmpty());

    std::strcpy(text.GetBuffer(16), "hi");
    text.ReleaseBuffer();
    EXPECT_EQ(text, "hi");
    text.GetBuffer(8);
    text.ReleaseBuffer(1);
    EXPECT_EQ(text, "h");

    text = "abcdef";
    EXPECT_EQ(text.Left(-1), "");
    EXPECT_EQ(text.Left(99), "abcdef");
    EXPECT_EQ(text.Mid(99), "");
    EXPECT_EQ(text.Mid(-3, 2), "ab");
    EXPECT_EQ(text.Mid(2, 99), "cdef");
    EXPECT_EQ(text.Right(-2), "");
    EXPECT_EQ(text.GetAt(6), '\0');
    EXPECT_EQ(text.GetAt(-1), '\0');
}

TEST(CString, FindAndTokenize)
{
    const CString text("a.b.c");
    EXPECT_EQ(text.Find('.', 2), 3);
    EXPECT_EQ(text.Find('.', 99), -1);
    EXPECT_EQ(text.Find("b.c"), 2);
    EXPECT_EQ(text.Find(""), 0);
    EXPECT_EQ(text.Find(static_cast<const char*>(nullptr)), -1);
    EXPECT_EQ(text.ReverseFind('.'), 3);
    EXPECT_EQ(text.FindOneOf("cb"), 2);

    // Empty tokens are skipped; the position ends at -1 with an empty token.
    CString tokens;
    for (int position = 0, count = 0; position != -1 && count < 9; ++count)
        tokens += CString(";a;;b;").Tokenize(";", position) + "|";
    EXPECT_EQ(tokens, "a|b||");
}

TEST(CString, EditsAndComparisons)
{
    CString text("aaa");
    EXPECT_EQ(text.Replace("a", "bb"), 3);
    EXPECT_EQ(text, "bbbbbb");
    EXPECT_EQ(text.Replace("", "x"), 0);
    EXPECT_EQ(text.Replace("bb", nullptr), 3);
    EXPECT_TRUE(text.IsEmpty());
    CString path("a/b/c");
    EXPECT_EQ(path.Replace('/', '\\'), 2);
    EXPECT_EQ(path, "a\\b\\c");

    text = "ace";
    text.Insert(1, 'b');
    text.Insert(99, "f");
    EXPECT_EQ(text, "abcef");
    text.Delete(3, 99);
    text.Delete(-1);
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(text.Remove('b'), 1);
    EXPECT_EQ(text, "ac");

    EXPECT_EQ(CString(" \t Abc \r\n").Trim(), "Abc");
    EXPECT_EQ(CString("xxAbx").Trim("x"), "Ab");
    EXPECT_EQ(CString("\\\\a\\").TrimLeft('\\'), "a\\");
    EXPECT_EQ(CString("abc").CompareNoCase("ABC"), 0);
    EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
}
