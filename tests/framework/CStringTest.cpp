#include "CString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// Positions outside the text are clamped; empty tokens are skipped.
TEST(CString, FormatsFindsTokenizesEditsAndCompares)
{
    CString text;
    const std::string big(10000, 'x');
    text.Format("%s-%d", big.c_str(), 42);
    EXPECT_EQ(text, CString(big + "-42"));
    text.Format(nullptr);
    EXPECT_TRUE(text.IsEmpty());

    std::strcpy(text.GetBuffer(16), "hi");
    text.ReleaseBuffer();
    EXPECT_EQ(text, "hi");
    text.GetBuffer(8);
    text.ReleaseBuffer(1);
    EXPECT_EQ(text, "h");

    text = "abcdef";
    EXPECT_EQ(text.Left(-1) + "|" + text.Left(99) + "|" + text.Mid(99) + "|" + text.Mid(-3, 2) +
                  "|" + text.Mid(2, 99) + "|" + text.Right(-2),
              "|abcdef||ab|cdef|");
    EXPECT_EQ(std::string({text.GetAt(6), text.GetAt(-1)}), std::string(2, '\0'));

    const CString dotted("a.b.c");
    EXPECT_EQ((std::vector<int>{dotted.Find('.', 2), dotted.Find('.', 99), dotted.Find("b.c"),
                                dotted.Find(""), dotted.Find(static_cast<const char*>(nullptr)),
                                dotted.ReverseFind('.'), dotted.FindOneOf("cb")}),
              (std::vector<int>{3, -1, 2, 0, -1, 3, 2}));

    // The position ends at -1 with an empty token.
    CString tokens;
    for (int position = 0, count = 0; position != -1 && count < 9; ++count)
        tokens += CString(";a;;b;").Tokenize(";", position) + "|";
    EXPECT_EQ(tokens, "a|b||");

    text = "aaa";
    CString path("a/b/c");
    EXPECT_EQ((std::vector<int>{text.Replace("a", "bb"), text.Replace("", "x"),
                                text.Replace("bb", nullptr), path.Replace('/', '\\')}),
              (std::vector<int>{3, 0, 3, 2}));
    EXPECT_EQ(text + "|" + path, "|a\\b\\c");

    text = "ace";
    text.Insert(1, 'b');
    text.Insert(99, "f");
    EXPECT_EQ(text, "abcef");
    text.Delete(3, 99);
    text.Delete(-1);
    EXPECT_EQ(text.Remove('b'), 1);
    EXPECT_EQ(text, "ac");

    EXPECT_EQ(CString(" \t Abc \r\n").Trim() + CString("xxAbx").Trim("x") +
                  CString("\\\\a\\").TrimLeft('\\'),
              "AbcAba\\");
    EXPECT_EQ(CString("abc").CompareNoCase("ABC"), 0);
    EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
}
