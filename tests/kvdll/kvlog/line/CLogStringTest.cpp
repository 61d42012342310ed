#include "line/CLogString.h"
#include "line/LogFormatting.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
using Element = CLogControl::CLogString;

// The element alone, rendered into a line of its own.
template <typename Render> std::string Rendered(Render render)
{
    CLineBuffer line;
    render(line);
    return std::string(line.GetData(), static_cast<std::size_t>(line.GetLength()));
}
std::string Text(Element& element, const char* text)
{
    return Rendered([&](CLineBuffer& line) { element.RenderText(line, text); });
}
std::string Number(Element& element, unsigned long number, bool hex)
{
    return Rendered(
        [&](CLineBuffer& line)
        { hex ? element.RenderHex(line, number) : element.RenderDecimal(line, number); });
}
std::string Message(Element& element, unsigned long indent, const char* id, const char* text)
{
    return Rendered([&](CLineBuffer& line) { element.RenderMessage(line, indent, id, text); });
}

// The elements pad by hand; every format a template can produce must read as printf reads it.
TEST(LogStringTest, HandRenderingMatchesPrintfForEveryTemplateFormat)
{
    const char* const textFormats[] = {"%-6s", "%+6s", "%6s", " %-6s", " %+3s", "%-0006s", "%s"};
    const char* const numberFormats[] = {"%-6d",  "%+6d",   "%+06d",  "%-06d",   "%d",
                                         "%-12d", "0x%-8X", "0x%+8X", "0x%+08X", "0x%X"};
    Element element;
    char expected[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    for (const char* format : textFormats)
        for (const char* text : {"", "ab", "abcdefgh"})
        {
            SCOPED_TRACE(std::string(format) + " " + text);
            element.SetFormat(format, 0);
            std::snprintf(expected, sizeof(expected), format, text);
            EXPECT_EQ(expected, Text(element, text));
            // The message pads the same way, with its indent and ID as part of the text.
            std::snprintf(expected, sizeof(expected), format,
                          ("  ID " + std::string(text)).c_str());
            EXPECT_EQ(expected, Message(element, 2, "ID", text));
        }
    for (const char* format : numberFormats)
        for (unsigned long number : {0UL, 7UL, 0x1A2CUL, 2147483648UL, 4294967295UL})
        {
            element.SetFormat(format, 0);
            std::snprintf(expected, sizeof(expected), format, static_cast<int>(number));
            EXPECT_EQ(expected, Number(element, number, format[0] == '0')) << format << number;
        }
#pragma GCC diagnostic pop
}

TEST(LogFormattingTest, NumbersTimesAndFormatsAreRenderedLikeTheirPrintfForms)
{
    CString target;
    AppendDecimal(target, 0);
    AppendDecimal(target, 18446744073709551615ULL);
    AppendSignedDecimal(target, -9223372036854775807LL - 1);
    AppendHex(target, 0xFF0000, 6);
    AppendHex(target, 0xab, 6);
    EXPECT_EQ("018446744073709551615-9223372036854775808FF00000000AB", target);
    target.Empty();
    AppendDateTime(target, {987, 3, 0, 4, 5, 6, 7, 8});
    EXPECT_EQ("0987-03-04 05:06:07.008", target);
    // A format replaces the old text; one rejected leaves none.
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
