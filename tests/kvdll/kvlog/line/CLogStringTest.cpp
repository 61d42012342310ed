#include "line/CLogString.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
// The elements pad by hand; every format a template can produce must read as printf reads it,
// each element rendered into a line of its own.
TEST(LogStringTest, HandRenderingMatchesPrintfForEveryTemplateFormat)
{
    const char* const textFormats[] = {"%-6s", "%+6s", "%6s", " %-6s", " %+3s", "%-0006s", "%s"};
    const char* const numberFormats[] = {"%-6d",  "%+6d",   "%+06d",  "%-06d",   "%d",
                                         "%-12d", "0x%-8X", "0x%+8X", "0x%+08X", "0x%X"};
    CLogControl::CLogString element;
    char expected[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    for (const char* format : textFormats)
        for (const char* text : {"", "ab", "abcdefgh"})
        {
            CLineBuffer line;
            element.SetFormat(format, 0);
            element.RenderText(line, text);
            std::snprintf(expected, sizeof(expected), format, text);
            EXPECT_STREQ(expected, line.GetString()) << format << text;
        }
    for (const char* format : numberFormats)
        for (unsigned long number : {0UL, 7UL, 0x1A2CUL, 2147483648UL, 4294967295UL})
        {
            CLineBuffer line;
            element.SetFormat(format, 0);
            format[0] == '0' ? element.RenderHex(line, number)
                             : element.RenderDecimal(line, number);
            std::snprintf(expected, sizeof(expected), format, static_cast<int>(number));
            EXPECT_STREQ(expected, line.GetString()) << format << number;
        }
#pragma GCC diagnostic pop
}
} // namespace
