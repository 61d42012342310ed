#include "line/CLogString.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <type_traits>

namespace
{
// The element alone, rendered into a line of its own: a text, or a number in decimal or hex.
template <typename Value>
std::string Rendered(const CLogControl::CLogString& element, Value value, bool hex = false)
{
    CLineBuffer line;
    if constexpr (std::is_same_v<Value, const char*>)
        element.RenderText(line, value);
    else
        hex ? element.RenderHex(line, value) : element.RenderDecimal(line, value);
    return std::string(line.GetData(), static_cast<std::size_t>(line.GetLength()));
}

// The elements pad by hand; every format a template can produce must read as printf reads it.
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
            element.SetFormat(format, 0);
            std::snprintf(expected, sizeof(expected), format, text);
            EXPECT_EQ(expected, Rendered(element, text)) << format << text;
        }
    for (const char* format : numberFormats)
        for (unsigned long number : {0UL, 7UL, 0x1A2CUL, 2147483648UL, 4294967295UL})
        {
            element.SetFormat(format, 0);
            std::snprintf(expected, sizeof(expected), format, static_cast<int>(number));
            EXPECT_EQ(expected, Rendered(element, number, format[0] == '0')) << format << number;
        }
#pragma GCC diagnostic pop
}
} // namespace
