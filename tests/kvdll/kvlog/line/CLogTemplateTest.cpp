#include "line/CLogTemplate.h"
#include "line/CLogString.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
using Fields = CLogLineFields;

class TemplateTest : public ::testing::Test
{
protected:
    // Parses the template and renders every field with a value of its own.
    std::string Render(const char* format)
    {
        m_template.Parse(format);
        const Fields fields = {
            "Motor",       "motor.cpp", 17,    "Move", 3,
            "Information", "ID1",       "msg", 0,      {2024, 1, 2, 2, 10, 11, 12, 13},
            2147483648UL,  0x1A2C};
        return Line(fields);
    }
    std::string Line(const Fields& fields)
    {
        const CLineBuffer& line = m_template.Render(fields);
        return std::string(line.GetData(), static_cast<std::size_t>(line.GetLength()));
    }

    CLogTemplate m_template;
};

TEST_F(TemplateTest, RenderedTemplatesIdBlanksIndentsWidthLimitsAndTheClock)
{
    const std::pair<const char*, const char*> rows[] = {
        {"", "\n"},
        // Keywords are case-sensitive and the longest match wins.
        {"datetime PROFILE DATETIMESTAMP", "datetime PROmotor.cpp 2024-01-02 10:11:12.013STAMP\n"},
        {"THREADX THREAD IDMESSAGE|MESSAGE|ID TIME TIMESTAMP FUNCTION LINE LEVEL COMPONENT",
         "0x1A2C 6700 ID1 msg|msg|ID1 10:11:12.013 2147483648 Move 17 3 Motor\n"},
        // A repeated keyword is filled only at its last occurrence.
        {"[MESSAGE] [MESSAGE]#3C;#3c;#3E;#3e;#3D;", "[] [msg]<<>>#3D;\n"},
        // A width suffix needs digits; it makes a decimal signed.
        {"LEVEL!+04|LINE!|TIMESTAMP:4|THREADX:+8", "+003|17!|-2147483648|0x    1A2C\n"},
        // "!" cuts to the width less three characters and an ellipsis; ":" never cuts.
        {"LEVELSTRING!8|COMPONENT:3|ID!3|FUNCTION!2|", "Infor...|Motor|ID1|...|\n"},
        // A tilde swallows the two characters after it, or stands for itself at the end.
        {"a~bc", "a\n"},
        {"~01!", "Motor!\n"},
        {"x~~01~", "x1\n"},
        // "!0" still counts the blank of SPACEID: a width of 1, and any ID is cut.
        {"[SPACEID!0]", "[...]\n"},
        {"DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE",
         "2024-01-02 10:11:12.013 [6700] <Information   ID1   > msg\n"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.second, Render(row.first)) << row.first;

    // SPACEID always carries its blank, also without an ID; an empty ID before a message keeps
    // its own.
    Fields fields;
    fields.indent = 4;
    fields.message = "m";
    m_template.Parse("[SPACEID][IDMESSAGE][ID!6][MESSAGE:+8]");
    const std::pair<const char*, const char*> ids[] = {
        {nullptr, "[ ][    m][      ][       m]\n"},
        {"", "[ ][     m][      ][       m]\n"},
        {"7", "[ 7][    7 m][7     ][       m]\n"},
        {"ABCDEFGH", "[ ABCDEFGH][    ABCDEFGH m][ABC...][       m]\n"}};
    for (const auto& row : ids)
    {
        fields.id = row.first;
        EXPECT_EQ(row.second, Line(fields)) << row.first;
    }
    m_template.Parse("ID:99999999999999999999|");
    EXPECT_EQ(9999U + 2U, Line(fields).size());
    // A template parsed again forgets the fields of the one before.
    m_template.Parse("FUNCTION MESSAGE");
    m_template.Parse("MESSAGE");
    EXPECT_FALSE(m_template.Uses(CLogTemplate::kFunction));

    // The date and time are rendered once a second; the lines in between change the milliseconds.
    m_template.Parse("DATETIME|TIME:14");
    fields.time = {2024, 12, 2, 31, 23, 59, 59, 998};
    EXPECT_EQ("2024-12-31 23:59:59.998|23:59:59.998  \n", Line(fields));
    fields.time.wMilliseconds = 7;
    EXPECT_EQ("2024-12-31 23:59:59.007|23:59:59.007  \n", Line(fields));
    fields.time = {2025, 1, 3, 1, 0, 0, 0, 7};
    EXPECT_EQ("2025-01-01 00:00:00.007|00:00:00.007  \n", Line(fields));
    fields.time.wYear = 2026;
    EXPECT_EQ("2026-01-01 00:00:00.007|00:00:00.007  \n", Line(fields));

    // The elements pad by hand; every format a template can produce must read as printf reads it,
    // each element rendered into a line of its own.
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
